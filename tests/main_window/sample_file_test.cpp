#include "main_window/sample_file.h"
#include "tests/support/plotwright_access.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray le32(qint32 value)
{
    QByteArray field(4, Qt::Uninitialized);
    qToLittleEndian(value, field.data());
    return field;
}

// A sample with the given sections; `header` replaces the proper 27 bytes.
QByteArray sample(const QByteArray& preview, const QByteArray& description, const QByteArray& data,
                  const QByteArray& customizing, QByteArray header = QByteArray("Plotwright Lab Sample 1.0\n\0", 27))
{
    return header + le32(preview.size()) + preview + le32(description.size()) + description + le32(data.size()) + data +
           le32(customizing.size()) + customizing;
}

class SampleFile : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    Plotwright& window() { return *f.window; }

    QTemporaryDir dir;
    fakes::WindowFixture f;
};

TEST_F(SampleFile, WrittenByteForByte)
{
    ASSERT_TRUE(window().SavePwSample(path("a.pws"), "abc", "de"));
    const QByteArray expected("Plotwright Lab Sample 1.0\n\0"
                              "\0\0\0\0" "\0\0\0\0" "\3\0\0\0" "abc" "\2\0\0\0" "de",
                              48);
    EXPECT_EQ(bytesOf(path("a.pws")), expected);

    ASSERT_TRUE(window().SavePwSample(path("empty.pws"), {}, {}));
    EXPECT_EQ(bytesOf(path("empty.pws")), QByteArray(expected.left(27)) + QByteArray(16, '\0'));

    // Over a longer old file, exactly the new sample remains.
    ASSERT_TRUE(window().SavePwSample(path("a.pws"), "", "x"));
    EXPECT_EQ(bytesOf(path("a.pws")).size(), 44);
}

TEST_F(SampleFile, WhatTheWriterWritesReadsBack)
{
    QString allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes += QChar(b);
    const std::pair<QString, QString> cases[] = {
        {"", ""},
        {"<data/>", ""},
        {"", "<cu/>"},
        {QString::fromLatin1("a\0b", 3), allBytes},
        {QString(32723, QLatin1Char('d')), "c"},
        // Beyond where a 16-bit position would end.
        {QString(40000, QLatin1Char('d')), QString(70000, QLatin1Char('c'))},
    };
    for (const auto& [data, customizing] : cases) {
        SCOPED_TRACE(data.size());
        ASSERT_TRUE(window().SavePwSample(path("s.pws"), data, customizing));
        QString gotData = "old", gotCustomizing = "old";
        ASSERT_TRUE(window().LoadPwSample(path("s.pws"), gotData, gotCustomizing));
        EXPECT_EQ(gotData, data);
        EXPECT_EQ(gotCustomizing, customizing);
    }
}

TEST_F(SampleFile, WriterRefusesWhatItCannotStore)
{
    putBytes(path("old.pws"), "old");
    EXPECT_FALSE(window().SavePwSample(path("old.pws"), QStringLiteral("\u0100"), ""));
    EXPECT_FALSE(window().SavePwSample(path("old.pws"), "", QStringLiteral("\u20AC")));
    EXPECT_EQ(bytesOf(path("old.pws")), "old");
    EXPECT_FALSE(window().SavePwSample(path("missing/s.pws"), "a", "b"));
    EXPECT_FALSE(QFile::exists(path("missing")));

    QFile::setPermissions(path("old.pws"), QFile::ReadOwner);
    EXPECT_FALSE(window().SavePwSample(path("old.pws"), "a", "b"));
    EXPECT_EQ(bytesOf(path("old.pws")), "old");
}

TEST_F(SampleFile, ReaderLayouts)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        std::optional<sample_file::Texts> expected;
    };
    const QByteArray abc = sample("", "", "abc", "de");
    const Case cases[] = {
        {"proper", abc, sample_file::Texts{"abc", "de"}},
        {"no bytes", {}, sample_file::Texts{}},
        {"any header", sample("", "", "abc", "de", QByteArray(27, '\xFF')), sample_file::Texts{"abc", "de"}},
        {"preview and description stepped over", sample("PREVIEW", "a description", "abc", "de"),
         sample_file::Texts{"abc", "de"}},
        {"bytes behind the customizing", abc + "trailing", sample_file::Texts{"abc", "de"}},
        // A description length of -13 steps back into the preview, which holds N = 1, "x", M = 0.
        {"negative description", QByteArray(27, 'h') + le32(9) + le32(1) + "x" + le32(0) + le32(-13),
         sample_file::Texts{"x", ""}},
        {"negative preview", QByteArray(27, 'h') + le32(-1) + QByteArray(40, '\0'), std::nullopt},
        {"negative data", sample("", "", "", "").left(35) + le32(-1) + le32(0), std::nullopt},
        {"negative customizing", sample("", "", "", "").left(39) + le32(-5) + "abcde", std::nullopt},
        {"shorter than the header", "Plotwright", std::nullopt},
        {"cut inside a length field", abc.left(44), std::nullopt},
        {"cut inside the customizing", abc.left(47), std::nullopt},
        {"cut inside the data", abc.left(41), std::nullopt},
        {"preview past the end", QByteArray(27, 'h') + le32(1000) + QByteArray(20, '\0'), std::nullopt},
        {"huge data length", sample("", "", "", "").left(35) + le32(0x7FFFFFFF) + "abc", std::nullopt},
        {"huge customizing length", sample("", "", "", "").left(39) + le32(0x7FFFFFF0) + "abc", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sample_file::parse(c.bytes), c.expected);
        putBytes(path("c.pws"), c.bytes);
        QString data = "kept", customizing = "kept";
        EXPECT_EQ(window().LoadPwSample(path("c.pws"), data, customizing), c.expected.has_value());
        EXPECT_EQ(data, c.expected ? c.expected->data : "kept");
        EXPECT_EQ(customizing, c.expected ? c.expected->customizing : "kept");
    }
}

TEST_F(SampleFile, ReaderOnNamesThatAreNoSample)
{
    QString data = "kept", customizing = "kept";
    // A missing name is created empty and reads as an empty sample.
    EXPECT_TRUE(window().LoadPwSample(path("new.pws"), data, customizing));
    EXPECT_EQ(data, "");
    EXPECT_EQ(customizing, "");
    EXPECT_TRUE(QFile::exists(path("new.pws")));

    data = customizing = "kept";
    EXPECT_FALSE(window().LoadPwSample(path("missing/s.pws"), data, customizing));
    EXPECT_FALSE(window().LoadPwSample(dir.path(), data, customizing));
    EXPECT_FALSE(window().LoadPwSample(QString(), data, customizing));
    EXPECT_EQ(data, "kept");
    EXPECT_EQ(customizing, "kept");
}

}  // namespace
