#include "controls/button_colour.h"
#include "controls/button_picture.h"
#include "controls/ostrel_button.h"

#include <QtTest>

using namespace brivamo;

// Captions that fit their working rectangle on one line must be drawn on that one line: the
// drawing must not wrap a line that the measuring kept whole.
class TestButtonCaptionFit : public QObject
{
    Q_OBJECT
private slots:
    void measuredLineIsDrawnWhole_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("picture");
        QTest::newRow("lobby add word") << QStringLiteral("         &Add a Word") << 141 << 29
                                        << QStringLiteral(":/pictures/add_word_16.png");
        QTest::newRow("lobby edit word") << QStringLiteral("         &Edit a Word") << 141 << 29
                                         << QStringLiteral(":/pictures/edit_word_16.png");
        QTest::newRow("lobby delete word") << QStringLiteral("    &Delete a Word") << 141 << 29
                                           << QStringLiteral(":/pictures/delete_word_16.png");
        QTest::newRow("no picture") << QStringLiteral("Make a Puzzle Now") << 120 << 29 << QString();
    }

    void measuredLineIsDrawnWhole()
    {
        QFETCH(QString, caption);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, picture);

        QWidget window;
        window.resize(width + 40, height + 40);
        auto *b = new OstrelButton(&window);
        b->setGeometry(20, 20, width, height);
        b->setButtonType(ButtonStyle::Gradient);
        b->setBackColor(MakeColour(0, 255, 0));
        b->setForeColor(MakeColour(0, 64, 0));
        QFont f(QStringLiteral("Arial"));
        f.setPointSize(9);
        b->setFont(f);
        if (!picture.isEmpty())
            b->setPictureNormal(ButtonPicture::fromReference(picture));
        b->setCaption(caption);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        b->Refresh();

        const PixelRect t = b->contentLayout().caption;
        const QFontMetrics metrics(f, b);
        QVERIFY2(t.height() <= metrics.height() + 1, "the caption should measure as a single line");

        // Caption ink must reach into the last tenth of the measured line: that is where the
        // last word sits. The text is antialiased: ink is any pixel nearer the caption's dark
        // green than the bright green face.
        const QImage &img = b->surface();
        int inkAtEnd = 0;
        for (int y = t.top; y < t.bottom && y < img.height(); ++y)
            for (int x = t.right - t.width() / 10; x < t.right && x < img.width(); ++x)
                inkAtEnd += qGreen(img.pixel(x, y)) < 160;
        QVERIFY2(inkAtEnd > 0, qPrintable(QStringLiteral("no caption ink at the end of %1").arg(caption)));
    }
};

QTEST_MAIN(TestButtonCaptionFit)
#include "tst_button_caption_fit.moc"
