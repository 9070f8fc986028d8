// The INI document: lookup rules, integer parsing, what survives a load/save round trip, and
// the encodings.
#include "core/IniDocument.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using core::IniDocument;
using core::ParseIniInteger;

namespace {

struct IntCase {
    const char* text;
    std::optional<int> value;
};

class IniIntegerTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(IniIntegerTest, Parses) {
    const IntCase& c = GetParam();
    EXPECT_EQ(ParseIniInteger(QString::fromUtf8(c.text)), c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, IniIntegerTest,
    ::testing::Values(IntCase{"9025", 9025}, IntCase{"$2341", 0x2341}, IntCase{"0x2341", 0x2341},
                      IntCase{"0X2341", 0x2341}, IntCase{"$a7b1", 0xA7B1}, IntCase{" 42 ", 42},
                      IntCase{"-5", -5}, IntCase{"+7", 7}, IntCase{"$FFFFFFFF", -1},
                      IntCase{"2147483647", 2147483647}, IntCase{"2147483648", std::nullopt},
                      IntCase{"$100000000", std::nullopt}, IntCase{"", std::nullopt},
                      IntCase{"$", std::nullopt}, IntCase{"0x", std::nullopt},
                      IntCase{"12abc", std::nullopt}, IntCase{"0x12G", std::nullopt},
                      IntCase{"1 2", std::nullopt}, IntCase{"abc", std::nullopt},
                      // Only hex digits follow a hex prefix: no second prefix, sign or blank.
                      IntCase{"$0x12", std::nullopt}, IntCase{"0x0x12", std::nullopt},
                      IntCase{"$ 12", std::nullopt}, IntCase{"0x+12", std::nullopt},
                      IntCase{"$-1", std::nullopt}));

IniDocument Parse(const QByteArray& bytes) {
    IniDocument d;
    d.LoadFromBytes(bytes);
    return d;
}

TEST(IniDocumentTest, LookupIgnoresCaseAndTrimsBlanks) {
    const IniDocument d = Parse("[Dest]\n  VID = 0x1209 \nName=a=b\n[source]\nvid=7\n");
    EXPECT_EQ(d.ReadInteger("dest", "vid", 0), 0x1209);
    EXPECT_EQ(d.ReadInteger("SOURCE", "VID", 0), 7);
    EXPECT_EQ(d.ReadString("Dest", "name", {}), "a=b"); // splits at the first "="
    EXPECT_EQ(d.ReadString("Dest", "missing", "def"), "def");
    EXPECT_EQ(d.ReadInteger("Nowhere", "VID", 99), 99);
    EXPECT_EQ(d.ReadInteger("Dest", "Name", 5), 5); // not a number: the default
    EXPECT_TRUE(d.ReadBool("Source", "vid", false));
    EXPECT_FALSE(d.ReadBool("Source", "none", false));
}

TEST(IniDocumentTest, OddFileLosesNoEntry) {
    // Lines before any section, a line without "=", a duplicate key, a duplicate section,
    // comments and blank lines, an empty section name, CRLF endings.
    const QByteArray odd = "orphan=1\r\n; a comment\r\n\r\n[A]\r\nx=1\r\nno equals sign\r\n"
                           "x=2\r\n[]\r\nempty=3\r\n[a]\r\ny=4\r\n=novalue\r\n";
    IniDocument d = Parse(odd);
    EXPECT_EQ(d.ReadString("A", "x", {}), "1"); // the first of duplicates
    EXPECT_EQ(d.ReadString("A", "y", {}), "4"); // the second [a] continues [A]
    EXPECT_EQ(d.ReadString("", "empty", {}), "3");
    d.WriteString("A", "z", "5");
    d.WriteString("New", "k", "v");
    const QByteArray out = d.ToBytes();
    EXPECT_EQ(out, QByteArray("orphan=1\r\n[A]\r\nx=1\r\nno equals sign\r\nx=2\r\ny=4\r\n"
                              "=novalue\r\nz=5\r\n[]\r\nempty=3\r\n[New]\r\nk=v\r\n"));
    // And reading the written file gives the same document.
    EXPECT_EQ(Parse(out).ToBytes(), out);
}

TEST(IniDocumentTest, WritesInPlaceAndErases) {
    IniDocument d = Parse("[S]\na=1\nb=2\n[T]\nc=3\n");
    d.WriteInteger("s", "A", 10);
    d.WriteBool("T", "flag", true);
    d.DeleteKey("S", "b");
    EXPECT_EQ(d.ToBytes(), QByteArray("[S]\na=10\n[T]\nc=3\nflag=1\n"));
    d.EraseSection("t");
    EXPECT_EQ(d.Sections(), QStringList{"S"});
    EXPECT_EQ(d.SectionKeys("S"), QStringList{"a"});
    EXPECT_FALSE(d.ValueExists("S", "b"));
}

struct EncodingCase {
    const char* name;
    QByteArray bytes;
    IniDocument::Encoding encoding;
};

class IniEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(IniEncodingTest, DetectsAndKeepsTheEncoding) {
    const EncodingCase& c = GetParam();
    IniDocument d = Parse(c.bytes);
    EXPECT_EQ(d.FileEncoding(), c.encoding);
    EXPECT_EQ(d.ReadString("Язык", "Имя", {}), QStringLiteral("Русский"));
    EXPECT_EQ(d.ToBytes(), c.bytes); // written back byte for byte
}

const QString kRussian = QStringLiteral("[Язык]\nИмя=Русский\n");

QByteArray Utf16(const QString& s) {
    QByteArray b("\xFF\xFE");
    for (QChar ch : s) {
        b.append(static_cast<char>(ch.unicode() & 0xFF));
        b.append(static_cast<char>(ch.unicode() >> 8));
    }
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniEncodingTest,
    ::testing::Values(
        EncodingCase{"utf8", kRussian.toUtf8(), IniDocument::Encoding::Utf8},
        EncodingCase{"utf8bom", QByteArray("\xEF\xBB\xBF") + kRussian.toUtf8(),
                     IniDocument::Encoding::Utf8Bom},
        EncodingCase{"utf16le", Utf16(kRussian), IniDocument::Encoding::Utf16LE},
        // "[Язык]\nИмя=Русский\n" in windows-1251
        EncodingCase{"cp1251",
                     QByteArray("[\xDF\xE7\xFB\xEA]\n\xC8\xEC\xFF=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\n"),
                     IniDocument::Encoding::Windows1251}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniDocumentTest, SavesAndReportsUnwritableTargets) {
    QTemporaryDir dir;
    IniDocument d = Parse("[S]\nk=v\n");
    const QString path = dir.filePath("p.ini");
    QString error;
    ASSERT_TRUE(d.SaveFile(path, &error)) << error.toStdString();
    IniDocument again;
    ASSERT_TRUE(again.LoadFile(path));
    EXPECT_EQ(again.ReadString("S", "k", {}), "v");

    EXPECT_FALSE(d.SaveFile(dir.filePath("no/such/folder/p.ini"), &error));
    EXPECT_TRUE(error.contains("no/such/folder")) << error.toStdString();
    IniDocument missing;
    EXPECT_FALSE(missing.LoadFile(dir.filePath("absent.ini"), &error));
    EXPECT_TRUE(missing.Sections().isEmpty());
}

} // namespace
