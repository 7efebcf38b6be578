// The about box and the program's pictures.

#include "mainwindow/TSAbout.h"
#include "mainwindow/pictures.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFrame>
#include <QRegularExpression>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace tess {
namespace {

TEST(AboutBox, TextsAndLook) {
    TfrmTSAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Tessarine"));
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.width(), 292);

    const auto* label = about.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Tessarine / Build 1.00"));
    EXPECT_TRUE(label->alignment().testFlag(Qt::AlignHCenter));
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));

    const auto* ok = about.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("ＯＫ"));
    EXPECT_EQ(ok->palette().color(QPalette::ButtonText), QColor(0, 0, 128));

    // The banner sits in a lowered frame.
    const auto* banner = about.findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->pixmap().size(), QSize(288, 87));
    const auto* lowered = qobject_cast<QFrame*>(banner->parentWidget());
    ASSERT_NE(lowered, nullptr);
    EXPECT_EQ(lowered->frameShadow(), QFrame::Sunken);
}

TEST(AboutBox, HeightFollowsThePanelsAtEveryShowingAndOkCloses) {
    TfrmTSAbout about;
    auto* panel3 = about.findChild<QWidget*>(QStringLiteral("Panel3"));
    ASSERT_NE(panel3, nullptr);
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("BitBtn1"));

    int seenHeight = -1;
    bool seenVisible = false;
    QTimer::singleShot(0, &about, [&] {
        seenHeight = about.height();
        seenVisible = about.isVisible();
        ok->click();
    });
    EXPECT_EQ(about.showModalAbout(), QDialog::Accepted);
    EXPECT_TRUE(seenVisible);
    EXPECT_EQ(seenHeight, 174);
    EXPECT_FALSE(about.isVisible());

    // A taller bottom panel makes a taller box at the next showing.
    panel3->resize(panel3->width(), 100);
    QTimer::singleShot(0, &about, [&] {
        seenHeight = about.height();
        ok->click();
    });
    about.showModalAbout();
    EXPECT_EQ(seenHeight, 91 + 100);
}

TEST(Pictures, EveryPictureLoadsAtItsSize) {
    pictures::ensureLoaded();
    struct Case {
        QString path;
        QSize size;
    };
    const QList<Case> cases = {
        {pictures::kNew, {20, 20}},          {pictures::kOpen, {20, 20}},
        {pictures::kGroup, {20, 20}},        {pictures::kHistory, {20, 20}},
        {pictures::kSave, {20, 20}},         {pictures::kSaveAs, {20, 20}},
        {pictures::kRegistration, {20, 20}}, {pictures::kExplorer, {20, 20}},
        {pictures::kFont, {20, 20}},         {pictures::kAlarm, {20, 20}},
        {pictures::kAbout, {20, 20}},        {pictures::kQuickSaveExit, {11, 11}},
        {pictures::kCorner, {11, 11}},       {pictures::kImage2, {18, 300}},
        {pictures::kEditorStrip, {120, 7}},  {pictures::kAboutBanner, {288, 87}},
        {pictures::kSaveFolder, {20, 20}},   {pictures::kSaveInner, {20, 20}},
        {pictures::kSaveStrip, {16, 193}},
    };
    QSet<QString> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_FALSE(seen.contains(c.path));
        seen.insert(c.path);
        QImageReader reader(c.path);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), c.size);
        // A real picture: more than one colour, something opaque.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 3);
        EXPECT_FALSE(pictures::pixmap(c.path, QSize(40, 40)).isNull());
    }
}

// The words drawn into the pictures are Japanese like the rest of the
// interface; only the program's name stays as it is spelt.
TEST(Pictures, TextsInThePicturesAreJapanese) {
    pictures::ensureLoaded();
    const QRegularExpression text(QStringLiteral("<text[^>]*>([^<]*)</text>"));
    int texts = 0;
    for (QDirIterator it(QStringLiteral(":/pictures"), {QStringLiteral("*.svg")}); it.hasNext();) {
        const QString path = it.next();
        QFile svg(path);
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString source = QString::fromUtf8(svg.readAll());
        for (auto m = text.globalMatch(source); m.hasNext();) {
            const QString words = m.next().captured(1).remove(QStringLiteral("Tessarine")).trimmed();
            ++texts;
            EXPECT_FALSE(words.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
                << path.toStdString() << ": " << words.toStdString();
        }
    }
    EXPECT_GE(texts, 2);
}

} // namespace
} // namespace tess
