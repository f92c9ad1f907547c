// Renders every button style in every look, with and without a picture at each position,
// into one labelled PNG sheet:  button-gallery OUT.png [PICTURE]
// PICTURE (optional) is a picture reference such as ":/pictures/help.png"; without it a small
// test icon drawn here is used.
#include "controls/ostrel_button.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <optional>

using namespace brivamo;

namespace {

constexpr int ButtonWidth = 141;
constexpr int ButtonHeight = 63;
constexpr int CellWidth = ButtonWidth + 16;
constexpr int CellHeight = ButtonHeight + 12;
constexpr int LabelWidth = 150;
constexpr int HeaderHeight = 34;

// A window background with some texture, so the see-through style has something to show.
class Sheet : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(236, 232, 222));
        p.setPen(QColor(222, 214, 198));
        for (int x = -height(); x < width(); x += 12)
            p.drawLine(x, 0, x + height(), height());
        p.setPen(QColor(200, 192, 176));
        for (int y = HeaderHeight - 4; y < height(); y += CellHeight)
            p.drawLine(0, y, width(), y);
    }
};

// A small icon drawn in code: a page with a folded corner, text lines and a red seal.
QImage TestIcon()
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPolygon page({QPoint(5, 2), QPoint(20, 2), QPoint(26, 8), QPoint(26, 29), QPoint(5, 29)});
    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(255, 255, 255));
    p.drawPolygon(page);
    p.setBrush(QColor(192, 192, 192));
    p.drawPolygon(QPolygon({QPoint(20, 2), QPoint(20, 8), QPoint(26, 8)}));
    p.setPen(QColor(0, 0, 128));
    for (int y = 11; y <= 19; y += 4)
        p.drawLine(9, y, 22, y);
    p.drawLine(9, 23, 15, 23);
    p.setPen(QColor(128, 0, 0));
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QPoint(21, 24), 5, 5);
    p.setPen(QColor(255, 255, 0));
    p.drawPoint(21, 24);
    return icon;
}

enum Look { Normal, Hovered, Pressed, Disabled, Focused, Default, LookCount };
const char *const LookNames[LookCount] = {"normal", "hovered", "pressed", "disabled", "focused", "default"};

struct Variant
{
    ButtonStyle style;
    std::optional<PicturePlace> position; // nothing: no picture
};

QString StyleName(ButtonStyle style)
{
    switch (style) {
    case ButtonStyle::Rounded:
        return QStringLiteral("rounded");
    case ButtonStyle::SeeThrough:
        return QStringLiteral("see-through");
    case ButtonStyle::Gradient:
        return QStringLiteral("gradient");
    case ButtonStyle::Plain:
        break;
    }
    return QStringLiteral("plain");
}

QString PlaceName(PicturePlace place)
{
    switch (place) {
    case PicturePlace::Right:
        return QStringLiteral("right");
    case PicturePlace::Above:
        return QStringLiteral("above");
    case PicturePlace::Below:
        return QStringLiteral("below");
    case PicturePlace::Behind:
        return QStringLiteral("behind");
    case PicturePlace::Left:
        break;
    }
    return QStringLiteral("left");
}

QString VariantLabel(const Variant &v)
{
    QString label = QStringLiteral("%1 (%2)").arg(StyleName(v.style)).arg(qint32(v.style));
    label += v.position ? QStringLiteral("\npicture %1").arg(PlaceName(*v.position))
                        : QStringLiteral("\nno picture");
    return label;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: button-gallery OUT.png [PICTURE]\n");
        return 2;
    }
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});

    QList<Variant> variants;
    for (ButtonStyle style :
         {ButtonStyle::Gradient, ButtonStyle::SeeThrough, ButtonStyle::Rounded, ButtonStyle::Plain}) {
        variants.append({style, std::nullopt});
        for (PicturePlace place : {PicturePlace::Left, PicturePlace::Right, PicturePlace::Above,
                                   PicturePlace::Below, PicturePlace::Behind})
            variants.append({style, place});
    }

    Sheet sheet;
    sheet.setWindowTitle(QStringLiteral("Button gallery"));
    sheet.resize(LabelWidth + LookCount * CellWidth + 8,
                 HeaderHeight + int(variants.size()) * CellHeight + 8);
    QFont labelFont(QStringLiteral("Liberation Sans"), 9);
    QFont buttonFont(QStringLiteral("MS Sans Serif"), 8);

    for (int look = 0; look < LookCount; ++look) {
        auto *label = new QLabel(QString::fromLatin1(LookNames[look]), &sheet);
        label->setFont(QFont(QStringLiteral("Liberation Sans"), 10, QFont::Bold));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(LabelWidth + look * CellWidth, 6, CellWidth, HeaderHeight - 12);
    }

    const ButtonPicture icon =
        argc == 3 ? ButtonPicture::fromReference(QString::fromLocal8Bit(argv[2])) : ButtonPicture(TestIcon());
    if (icon.isNull()) {
        std::fprintf(stderr, "button-gallery: cannot read the picture %s\n", argv[2]);
        return 1;
    }
    QList<std::pair<OstrelButton *, Look>> buttons;
    for (int row = 0; row < variants.size(); ++row) {
        const Variant &v = variants[row];
        const int y = HeaderHeight + row * CellHeight;
        auto *label = new QLabel(VariantLabel(v), &sheet);
        label->setFont(labelFont);
        label->setGeometry(8, y, LabelWidth - 8, ButtonHeight);
        for (int look = 0; look < LookCount; ++look) {
            auto *b = new OstrelButton(&sheet);
            b->setGeometry(LabelWidth + look * CellWidth + 8, y, ButtonWidth, ButtonHeight);
            b->setFont(buttonFont);
            b->setButtonType(v.style);
            b->setCaption(v.position == PicturePlace::Behind ? QStringLiteral("&Behind")
                                                             : QStringLiteral("&Make Puzzle"));
            if (v.position) {
                b->setPictureNormal(icon);
                b->setPicturePosition(*v.position);
            }
            if (look == Disabled)
                b->setEnabled(false);
            if (look == Default)
                b->setDefaultLook(true);
            buttons.append({b, Look(look)});
        }
    }

    sheet.show();
    QApplication::processEvents();
    if (QWidget *focused = QApplication::focusWidget())
        focused->clearFocus(); // only the "focused" column shows focus
    for (auto &[b, look] : buttons) {
        if (b->ButtonType() == ButtonStyle::SeeThrough)
            b->Refresh();
    }

    // Put each button into its look through the same events a user would cause.
    for (auto &[b, look] : buttons) {
        const QPointF centre(ButtonWidth / 2.0, ButtonHeight / 2.0);
        const QPointF global = b->mapToGlobal(centre.toPoint());
        if (look == Hovered) {
            // Hovering needs the cursor on a screen: bring the button's row into view first.
            sheet.move(0, 100 - b->y());
            QCursor::setPos(b->mapToGlobal(centre.toPoint()));
            QMouseEvent move(QEvent::MouseMove, centre, QPointF(QCursor::pos()), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(b, &move);
        } else if (look == Pressed) {
            QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(b, &press);
        } else if (look == Focused) {
            QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
            QApplication::sendEvent(b, &focus);
        }
    }
    QCursor::setPos(0, 0);

    const QImage out = sheet.grab().toImage();
    if (!out.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "button-gallery: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
