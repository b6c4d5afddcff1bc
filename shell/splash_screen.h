#pragma once

#include "platform/services.h"

#include <QWidget>

#include <cstdint>

class Forms;
class QLabel;

// The start-up window and the start object: its load routine is the
// program's start-up sequence (place, name the user, show, load and show the
// main window, unload).
class SplashScreen final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SplashScreen)

public:
    SplashScreen(Forms& forms, platform::Services& services);
    ~SplashScreen() override;

    // Loads the window: runs Form_Load. An error in it reaches the caller.
    void load();

    // The window's position and size in twips, as set.
    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const;
    float Height() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class SplashScreenTestAccess;

    void Form_Load();
    void Form_KeyPress(std::int16_t& KeyAscii);
    void CloseSplash();
    void paintNow();
    void unload();
    void setLeft(float value);
    void setTop(float value);

    Forms& m_forms;
    platform::Services& m_services;
    QPixmap m_picture;
    float m_left = 0;
    float m_top = 0;

    QLabel* LabelTool = nullptr;
    QLabel* LabelUser = nullptr;
    QLabel* LabelReleaseVersion = nullptr;
};
