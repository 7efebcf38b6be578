#include "core/programfolder.h"
#include "core/recovery.h"

#include "support.h"

namespace tess {
namespace {

using namespace Qt::StringLiterals;

TEST(RecoveryFields, TravelInsideTheRichTextAndReadBackExactly) {
    const recovery::Fields cases[] = {
        {u"Tessarine  // NewFile (更新)"_s, QString(), QString(), QString()},
        {u"Tessarine  // 仕事 / A.RTF (更新)"_s, u"仕事"_s, u"A.RTF"_s, u"/home/u/A.RTF"_s},
        // Whatever a path may hold: line breaks, braces, backslashes, "=".
        {u"a}b{c\\d"_s, u"x=y\nz"_s, u"café\r\n😀"_s, u"/tmp/\\n/}"_s},
    };
    for (const recovery::Fields& f : cases) {
        const QByteArray file = recovery::withFields("{\\rtf1\\ansi text\\par}", f);
        ASSERT_TRUE(file.startsWith("{\\rtf1{\\*\\tessarinerecovery "));
        EXPECT_TRUE(file.endsWith("}\\ansi text\\par}"));
        EXPECT_EQ(recovery::readFields(file), f);
    }
    EXPECT_TRUE(recovery::withFields("plain text", cases[0]).isEmpty());

    // Written a piece at a time, the copy is the same bytes.
    QByteArray streamed;
    const auto put = [&](QByteArrayView piece) {
        streamed += piece;
        return true;
    };
    ASSERT_TRUE(recovery::putWithFields("{\\rtf1\\ansi te", cases[1], put));
    streamed += "xt\\par}";
    EXPECT_EQ(streamed, recovery::withFields("{\\rtf1\\ansi text\\par}", cases[1]));
    EXPECT_FALSE(recovery::putWithFields("plain", cases[1], put));
}

TEST(RecoveryFields, DamagedOrForeignFilesCarryNone) {
    const QByteArray good = recovery::withFields("{\\rtf1 x}", {u"c"_s, u"g"_s, u"f"_s, u"p"_s});
    const qsizetype hex = good.indexOf(' ') + 1;
    QByteArray badHex = good;
    badHex[hex] = 'z';
    QByteArray later = recovery::withFields("{\\rtf1 x}", {});
    later.replace(QByteArray("Version=1").toHex(), QByteArray("Version=2").toHex());
    const QByteArray cases[] = {
        "{\\rtf1 x}",
        good.left(hex + 10),  // cut inside the group
        badHex,
        later,                // a later program's copy
        "{\\rtf1{\\*\\tessarinerecovery " + QByteArray("Caption=c\n").toHex() + "}}",  // fields missing
        QByteArray(100, ' ') + good,  // not at the start
    };
    for (const QByteArray& c : cases) EXPECT_EQ(recovery::readFields(c), std::nullopt) << c.constData();
}

TEST(CommandLine, TheFileToOpen) {
    struct Case {
        QStringList args;
        QString expected;
    };
    const Case cases[] = {
        {{u"tessarine"_s}, QString()},
        {{u"tessarine"_s, u"a.txt"_s}, u"/work/a.txt"_s},
        {{u"tessarine"_s, u"../b/./c.rtf"_s}, u"/b/c.rtf"_s},
        {{u"tessarine"_s, u"/abs/メモ.txt"_s, u"second"_s}, u"/abs/メモ.txt"_s},
        {{u"tessarine"_s, u"--verbose"_s, u"x"_s}, u"/work/x"_s},
        {{u"tessarine"_s, u"--"_s, u"-dash.txt"_s}, u"/work/-dash.txt"_s},
        {{u"tessarine"_s, u"file:///tmp/a%20b.txt"_s}, u"/tmp/a b.txt"_s},
        {{u"tessarine"_s, u"file://remote.host/x"_s}, QString()},
    };
    for (const Case& c : cases) EXPECT_EQ(fileToOpen(c.args, u"/work"_s), c.expected) << c.args.join(u' ').toStdString();
}

TEST(CommandLine, AnInstalledCopyIsKnownByItsDesktopEntry) {
    QTemporaryDir dir;
    const QString bin = dir.filePath(u"bin"_s);
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_FALSE(isInstalledCopy(bin));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(u"share/applications"_s)));
    test::writeBytes(dir.filePath(u"share/applications/"_s + kDesktopId + u".desktop"_s), "[Desktop Entry]\n");
    EXPECT_TRUE(isInstalledCopy(bin));
    // A build folder beside such a tree is not installed.
    EXPECT_FALSE(isInstalledCopy(dir.path()));
}

} // namespace
} // namespace tess
