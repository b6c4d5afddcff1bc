// The real Qt dialogs the platform shows, built but never shown.
#include "platform/common_dialog.h"
#include "platform/message_box.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

TEST(QtDialogs, MessageBoxShowsItsTextAsItIs)
{
    for (const QString text : {"Line 2, column 9: Unknown element <Title> in <ChartData> (known: ...)",
                               "Attribute \"x\" is \"<b>x</b>\"", "Tom &amp; Jerry &lt;b&gt;", "plain"}) {
        const std::unique_ptr<QMessageBox> box = platform::makeMessageBox(text, nullptr);
        EXPECT_EQ(box->text(), text);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), text);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), "Plotwright");
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    }
}

TEST(QtDialogs, FileDialogOffersEveryFilterByItsDescription)
{
    struct Case {
        const char* filter;
        QStringList shown;
    };
    const Case cases[] = {
        {"*.bmp", {"*.bmp"}},
        {"Rendrix Data Files (*.xml)|*.xml|All Files(*.*)|*.*||", {"Rendrix Data Files (*.xml)", "All Files(*.*)"}},
        {"Plotwright Samples (*.pws)|*.pws|All Files(*.*)|*.*||", {"Plotwright Samples (*.pws)", "All Files(*.*)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        platform::FileDialogRequest request;
        request.mode = platform::FileDialogRequest::Mode::Save;
        request.nameFilters = platform::nameFiltersOf(QString::fromLatin1(c.filter));
        const std::unique_ptr<QFileDialog> dialog = platform::makeQtFileDialog(request, nullptr);
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        QStringList shown;
        for (int i = 0; i < types->count(); ++i)
            shown << types->itemText(i);
        EXPECT_EQ(shown, c.shown);
    }
}

} // namespace
