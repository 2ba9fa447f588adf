// The windows on a screen of twice the usual density: same proportions, sharp pictures.
// Runs with QT_SCALE_FACTOR=2.
#include "Picture.h"
#include "Pictures.h"
#include "Toolbar.h"
#include "ToolbarButton.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

using quillomatic::frmMain;
namespace Pictures = quillomatic::Pictures;
using quillomatic::Toolbar;
using quillomatic::ToolbarButton;

class HighDensityTest : public QObject {
    Q_OBJECT

private slots:
    void windowKeepsItsLayoutInTwiceThePixels();
    void toolbarPicturesAreDrawnAtTheScreensDensity();
    void buttonIconsAreDrawnAtTheScreensDensity();
    void warningPictureIsDrawnAtTheScreensDensity();
};

void HighDensityTest::windowKeepsItsLayoutInTwiceThePixels() {
    frmMain window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.devicePixelRatioF(), 2.0);
    QCOMPARE(window.size(), QSize(478, 326));
    const QPixmap shot = window.grab();
    QCOMPARE(shot.size(), QSize(956, 652));
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("cmdConvertNow"))->geometry(),
             QRect(256, 200, 201, 41));
}

void HighDensityTest::toolbarPicturesAreDrawnAtTheScreensDensity() {
    frmMain window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* toolbar = window.findChild<Toolbar*>(QStringLiteral("xtTab"));
    for (qint16 position = 1; position <= toolbar->ButtonCount(); ++position) {
        ToolbarButton* button = toolbar->Button(position);
        const QImage shown = button->grab().toImage();
        QCOMPARE(shown.size(), button->size() * 2);
        // Drawn from the picture at twice its size, not a small one enlarged:
        // the button's pixels hold the 2x rendering exactly.
        const QImage sharp =
            Pictures::Render(button->PicturePath(), button->PictureSize(), 2.0, button->MaskColor())
                .toImage()
                .convertToFormat(QImage::Format_ARGB32);
        bool foundSharp = false;
        const QImage shownArgb = shown.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y + sharp.height() <= shownArgb.height() && !foundSharp; ++y) {
            for (int x = 0; x + sharp.width() <= shownArgb.width() && !foundSharp; ++x) {
                const QImage region = shownArgb.copy(x, y, sharp.width(), sharp.height());
                bool same = true;
                for (int py = 0; py < sharp.height() && same; ++py) {
                    for (int px = 0; px < sharp.width() && same; ++px) {
                        const QRgb want = sharp.pixel(px, py);
                        same = qAlpha(want) < 255 || region.pixel(px, py) == want;
                    }
                }
                foundSharp = same;
            }
        }
        QVERIFY2(foundSharp, qPrintable(button->PicturePath()));
    }
}

void HighDensityTest::buttonIconsAreDrawnAtTheScreensDensity() {
    frmMain window;
    window.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* load = window.findChild<QAbstractButton*>(QStringLiteral("cmdLoadFromFile"));
    // The icon engine draws the picture itself at 64 pixels for a 32-pixel icon.
    const QPixmap icon = load->icon().pixmap(QSize(32, 32), 2.0);
    QCOMPARE(icon.size(), QSize(64, 64));
    QCOMPARE(icon.devicePixelRatio(), 2.0);
}

void HighDensityTest::warningPictureIsDrawnAtTheScreensDensity() {
    const QString warning = QStringLiteral(":/pictures/Warning.svg");
    quillomatic::Picture picture;
    picture.SetPath(warning);
    picture.resize(32, 32);
    picture.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picture));
    const QImage shown = picture.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage sharp =
        Pictures::Render(warning, {32, 32}, 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage enlarged = Pictures::Render(warning, {32, 32}, 1.0)
                                .toImage()
                                .scaled(64, 64)
                                .convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(sharp != enlarged, "the warning sign has detail a small copy loses");
    // Drawn on the window's background, the opaque pixels are the 2x drawing's.
    int differing = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (qAlpha(sharp.pixel(x, y)) == 255 && shown.pixel(x, y) != sharp.pixel(x, y)) {
                ++differing;
            }
        }
    }
    QCOMPARE(differing, 0);
}

QTEST_MAIN(HighDensityTest)
#include "HighDensityTest.moc"
