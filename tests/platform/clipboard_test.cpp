#include "platform/clipboard.h"
#include "platform/picture.h"
#include "platform/runtime_error.h"
#include "tests/support/runtime_errors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

using platform::QtClipboard;

platform::Picture picture(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return platform::Picture(image);
}

// An emptied clipboard has no data at all.
const QMimeData& contents()
{
    static const QMimeData none;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? *data : none;
}

// The offscreen clipboard lives in the process: what goes in comes back out.
TEST(QtClipboard, TextAndBitmapRoundTripAndOnlyClearEmptiesBoth)
{
    QtClipboard clipboard;
    clipboard.clear();
    const QString xml = QStringLiteral("<Customizing Name=\"Caf\u00E9 \u03A9\"/>\r\n");

    clipboard.setText(xml);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), xml);

    clipboard.setData(picture(64, 48, Qt::red), platform::clipboard_format::Bitmap);
    ASSERT_TRUE(contents().hasImage());
    const QImage image = qvariant_cast<QImage>(contents().imageData());
    EXPECT_EQ(image.size(), QSize(64, 48));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::red));
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(contents().text(), xml) << "setting the bitmap keeps the text";

    clipboard.setText("second");
    EXPECT_EQ(contents().text(), "second");
    EXPECT_TRUE(contents().hasImage()) << "setting the text keeps the bitmap";

    clipboard.clear();
    EXPECT_FALSE(contents().hasText());
    EXPECT_FALSE(contents().hasImage());
}

TEST(QtClipboard, WhatAnotherOwnerPutThereIsNotCarriedForward)
{
    QtClipboard clipboard;
    clipboard.setData(picture(4, 4, Qt::blue), platform::clipboard_format::Bitmap);
    QGuiApplication::clipboard()->setText("another program");

    clipboard.setText("ours");
    EXPECT_EQ(contents().text(), "ours");
    EXPECT_FALSE(contents().hasImage());
}

TEST(QtClipboard, RefusesOtherFormatsAndEmptyPicturesWithoutTouchingTheContents)
{
    QtClipboard clipboard;
    clipboard.clear();
    clipboard.setText("kept");
    const struct {
        std::int32_t format;
        platform::Picture picture;
        int error;
    } cases[] = {
        {3, picture(4, 4, Qt::green), platform::err::InvalidClipboardFormat}, // metafile
        {platform::clipboard_format::Bitmap, platform::Picture(QImage()), platform::err::InvalidPropertyValue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(fakes::runtimeErrorOf([&] { clipboard.setData(c.picture, c.format); }), c.error);
        EXPECT_EQ(contents().text(), "kept");
        EXPECT_FALSE(contents().hasImage());
    }
}

} // namespace
