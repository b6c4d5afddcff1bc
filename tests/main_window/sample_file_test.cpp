#include "main_window/sample_file.h"
#include "temp_files.h"
#include "tests/support/plotwright_access.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using sample_file::Texts;

QByteArray le32(qint32 value)
{
    QByteArray field(4, Qt::Uninitialized);
    qToLittleEndian(value, field.data());
    return field;
}

const QByteArray kHeader("Plotwright Lab Sample 1.0\n\0", 27);

QByteArray sample(const QByteArray& preview, const QByteArray& description, const QByteArray& data,
                  const QByteArray& customizing, const QByteArray& header = kHeader)
{
    return header + le32(preview.size()) + preview + le32(description.size()) + description + le32(data.size()) + data +
           le32(customizing.size()) + customizing;
}

class SampleFile : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    fakes::WindowFixture f;
    Plotwright& window = *f.window;
};

TEST_F(SampleFile, WrittenByteForByteAndReadBack)
{
    ASSERT_TRUE(window.SavePwSample(path("a.pws"), "abc", "de"));
    EXPECT_EQ(bytesOf(path("a.pws")), kHeader + QByteArray("\0\0\0\0\0\0\0\0\3\0\0\0abc\2\0\0\0de", 21));
    ASSERT_TRUE(window.SavePwSample(path("a.pws"), {}, {}));
    EXPECT_EQ(bytesOf(path("a.pws")), kHeader + QByteArray(16, '\0'));

    QString allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += QChar(b);
    // 40,000 characters take the customizing beyond where a 16-bit position ends.
    for (const auto& [data, customizing] : {std::pair<QString, QString>{QString::fromLatin1("a\0b", 3), allBytes},
                                            {QString(40000, QLatin1Char('d')), QString(70000, QLatin1Char('c'))}}) {
        ASSERT_TRUE(window.SavePwSample(path("s.pws"), data, customizing));
        QString gotData, gotCustomizing;
        ASSERT_TRUE(window.LoadPwSample(path("s.pws"), gotData, gotCustomizing));
        EXPECT_EQ(gotData, data);
        EXPECT_EQ(gotCustomizing, customizing);
    }

    EXPECT_FALSE(window.SavePwSample(path("s.pws"), QStringLiteral("\u0100"), ""));
    EXPECT_FALSE(window.SavePwSample(path("missing/s.pws"), "a", "b"));
    EXPECT_EQ(bytesOf(path("s.pws")).size(), 43 + 40000 + 70000);
}

TEST_F(SampleFile, ReaderTakesWhatLiesInTheFileAndNothingElse)
{
    const QByteArray abc = sample("", "", "abc", "de");
    const QByteArray upToData = sample("", "", "", "").left(35);
    const struct {
        const char* name;
        QByteArray bytes;
        std::optional<Texts> expected;
    } cases[] = {
        {"no bytes", {}, Texts{}},
        {"any header", sample("", "", "abc", "de", QByteArray(27, '\xFF')), Texts{"abc", "de"}},
        {"preview and description", sample("PREVIEW", "a description", "abc", "de"), Texts{"abc", "de"}},
        {"bytes behind", abc + "trailing", Texts{"abc", "de"}},
        // A description length of -13 steps back into the preview, which holds N = 1, "x", M = 0.
        {"negative description", QByteArray(27, 'h') + le32(9) + le32(1) + "x" + le32(0) + le32(-13), Texts{"x", ""}},
        {"negative preview", QByteArray(27, 'h') + le32(-1) + QByteArray(40, '\0'), std::nullopt},
        {"negative data", upToData + le32(-1) + le32(0), std::nullopt},
        {"negative customizing", upToData + le32(0) + le32(-5) + "abcde", std::nullopt},
        {"shorter than the header", "Plotwright", std::nullopt},
        {"cut in a length field", abc.left(44), std::nullopt},
        {"cut in the data", abc.left(41), std::nullopt},
        {"cut in the customizing", abc.left(47), std::nullopt},
        {"preview past the end", QByteArray(27, 'h') + le32(1000) + QByteArray(20, '\0'), std::nullopt},
        {"huge data length", upToData + le32(0x7FFFFFFF) + "abc", std::nullopt},
        {"huge customizing length", upToData + le32(0) + le32(0x7FFFFFF0) + "abc", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sample_file::parse(c.bytes), c.expected);
        putBytes(path("c.pws"), c.bytes);
        QString data = "kept", customizing = "kept";
        EXPECT_EQ(window.LoadPwSample(path("c.pws"), data, customizing), c.expected.has_value());
        EXPECT_EQ(Texts(data, customizing), c.expected.value_or(Texts{"kept", "kept"}));
    }
    // A missing name is created empty and reads as an empty sample.
    QString data = "kept", customizing = "kept";
    EXPECT_TRUE(window.LoadPwSample(path("new.pws"), data, customizing));
    EXPECT_EQ(Texts(data, customizing), Texts{});
    EXPECT_TRUE(QFile::exists(path("new.pws")));
}

} // namespace
