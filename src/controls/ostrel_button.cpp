#include "controls/ostrel_button.h"

#include "controls/ostrel_button_accessible.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QShortcut>

#include <cmath>

namespace brivamo {

namespace {

// The events' mouse-button bits and the key code of the space bar.
constexpr qint16 PrimaryButton = 1;
constexpr qint16 SecondaryButton = 2;
constexpr qint16 MiddleButton = 4;
constexpr qint16 SpaceKey = 32;

Colour ColourOf(const QColor &c)
{
    return MakeColour(c.red(), c.green(), c.blue());
}

qint16 ShiftBits(Qt::KeyboardModifiers modifiers)
{
    qint16 bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= 1;
    if (modifiers & Qt::ControlModifier)
        bits |= 2;
    if (modifiers & Qt::AltModifier)
        bits |= 4;
    return bits;
}

qint16 ButtonBits(Qt::MouseButtons buttons)
{
    qint16 bits = 0;
    if (buttons & Qt::LeftButton)
        bits |= PrimaryButton;
    if (buttons & Qt::RightButton)
        bits |= SecondaryButton;
    if (buttons & Qt::MiddleButton)
        bits |= MiddleButton;
    return bits;
}

// Key codes as the events report them: the virtual key numbers of the classic keyboard API.
qint16 KeyCodeOf(const QKeyEvent *event)
{
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return qint16(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return qint16(112 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Space:
        return SpaceKey;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

// The cursor of a pointer code; nothing for the default (and for codes outside the list).
std::optional<Qt::CursorShape> CursorShapeOf(PointerShape pointer)
{
    switch (pointer) {
    case PointerShape::Arrow:
    case PointerShape::Icon:
        return Qt::ArrowCursor;
    case PointerShape::Cross:
        return Qt::CrossCursor;
    case PointerShape::IBeam:
        return Qt::IBeamCursor;
    case PointerShape::Size:
    case PointerShape::SizeAll:
        return Qt::SizeAllCursor;
    case PointerShape::SizeNeSw:
        return Qt::SizeBDiagCursor;
    case PointerShape::SizeNS:
        return Qt::SizeVerCursor;
    case PointerShape::SizeNwSe:
        return Qt::SizeFDiagCursor;
    case PointerShape::SizeWE:
        return Qt::SizeHorCursor;
    case PointerShape::UpArrow:
        return Qt::UpArrowCursor;
    case PointerShape::Wait:
        return Qt::WaitCursor;
    case PointerShape::Forbidden:
        return Qt::ForbiddenCursor;
    case PointerShape::Busy:
        return Qt::BusyCursor;
    case PointerShape::WhatsThis:
        return Qt::WhatsThisCursor;
    case PointerShape::PointingHand:
        return Qt::PointingHandCursor;
    case PointerShape::Default:
    case PointerShape::Custom: // without a MouseIcon
        break;
    }
    return std::nullopt;
}

} // namespace

OstrelButton::OstrelButton(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    m_overTimer.setInterval(3);
    m_overTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_overTimer, &QTimer::timeout, this, &OstrelButton::OverTimerTick);
    InstallButtonAccessibility();
    // The host names a new button only after constructing it.
    connect(this, &QObject::objectNameChanged, this, [this](const QString &name) {
        if (!m_captionFollowsName)
            return;
        m_caption = name;
        captionChanged();
    });
    InitProperties();
    ComputePalette();
}

OstrelButton::~OstrelButton()
{
    m_shown = false;
    m_overTimer.stop();
}

QString OstrelButton::Version()
{
    return QStringLiteral("w2005.08.15");
}

QSize OstrelButton::sizeHint() const
{
    return {97, 33};
}

// ---------------------------------------------------------------------------------------------
// Properties

void OstrelButton::setBackColor(Colour colour)
{
    m_backColor = colour;
    ComputePalette();
    redrawLast();
    notice("BCOL");
}

void OstrelButton::setBackOver(Colour colour)
{
    m_backOver = colour;
    ComputePalette();
    redrawLast();
    notice("BCOLO");
}

void OstrelButton::setForeColor(Colour colour)
{
    m_foreColor = colour;
    ComputePalette();
    redrawLast();
    notice("FCOL");
}

void OstrelButton::setForeOver(Colour colour)
{
    m_foreOver = colour;
    ComputePalette();
    redrawLast();
    notice("FCOLO");
}

void OstrelButton::setMaskColor(Colour colour)
{
    m_maskColor = colour;
    ComputePalette();
    redrawLast();
    notice("MCOL");
}

void OstrelButton::setButtonType(ButtonStyle style)
{
    m_buttonType = style;
    if (style == ButtonStyle::SeeThrough && m_shown)
        TakeBackgroundSnapshot();
    HandleResize(true);
    notice("BTYPE");
}

void OstrelButton::setCaption(const QString &caption)
{
    m_captionFollowsName = false;
    m_caption = caption;
    captionChanged();
    notice("TX");
}

void OstrelButton::captionChanged()
{
    UpdateAccessKey();
    LayoutContent();
    Redraw(DrawState::Normal, true);
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void OstrelButton::setEnabled(bool enabled)
{
    m_enabled = enabled;
    Redraw(DrawState::Normal, true);
    m_settingEnabled = true;
    QWidget::setEnabled(enabled);
    m_settingEnabled = false;
    notice("ENAB");
}

void OstrelButton::setFont(const QFont &newFont)
{
    // The font-change notice re-lays out and redraws (changeEvent).
    QWidget::setFont(newFont);
    notice("FONT");
}

void OstrelButton::setFontBold(bool bold)
{
    QFont f = font();
    f.setBold(bold);
    QWidget::setFont(f);
}

void OstrelButton::setFontItalic(bool italic)
{
    QFont f = font();
    f.setItalic(italic);
    QWidget::setFont(f);
}

void OstrelButton::setFontUnderline(bool underline)
{
    QFont f = font();
    f.setUnderline(underline);
    QWidget::setFont(f);
}

qint16 OstrelButton::FontSize() const
{
    return qint16(RoundHalfEven(font().pointSizeF()));
}

void OstrelButton::setFontSize(qint16 points)
{
    QFont f = font();
    f.setPointSize(points);
    QWidget::setFont(f);
}

void OstrelButton::setFontName(const QString &name)
{
    QFont f = font();
    f.setFamily(name);
    QWidget::setFont(f);
}

void OstrelButton::setColorScheme(ColourScheme scheme)
{
    m_colorScheme = scheme;
    ComputePalette();
    Redraw(DrawState::Normal, true);
    notice("COLTYPE");
}

void OstrelButton::setShowFocusRect(bool show)
{
    m_showFocusRect = show;
    redrawLast();
    notice("FOCUSR");
}

void OstrelButton::setMousePointer(PointerShape pointer)
{
    m_mousePointer = pointer;
    applyMousePointer();
    notice("MPTR");
}

void OstrelButton::setMouseIcon(const ButtonPicture &icon)
{
    m_mouseIcon = icon;
    applyMousePointer();
    notice("MICON");
}

void OstrelButton::applyMousePointer()
{
    if (m_mousePointer == PointerShape::Custom && !m_mouseIcon.isNull())
        setCursor(QCursor(QPixmap::fromImage(m_mouseIcon.image())));
    else if (const auto shape = CursorShapeOf(m_mousePointer))
        setCursor(*shape);
    else
        unsetCursor();
}

void OstrelButton::setSoftBevel(bool soft)
{
    m_softBevel = soft;
    ComputePalette();
    redrawLast();
    notice("SOFT");
}

void OstrelButton::setPictureNormal(const ButtonPicture &picture)
{
    m_pictureNormal = picture;
    MeasurePicture();
    LayoutContent();
    redrawLast();
    notice("PICN");
}

void OstrelButton::setPictureOver(const ButtonPicture &picture)
{
    m_pictureOver = picture;
    if (m_hover)
        redrawLast();
    notice("PICH");
}

void OstrelButton::setPicturePosition(PicturePlace position)
{
    m_picturePosition = position;
    notice("PICPOS");
    LayoutContent();
    redrawLast();
}

void OstrelButton::setUseMaskColor(bool use)
{
    m_useMaskColor = use;
    if (!m_pictureNormal.isNull())
        redrawLast();
    notice("UMCOL");
}

void OstrelButton::setUseGreyscale(bool use)
{
    m_useGreyscale = use;
    if (!m_pictureNormal.isNull())
        redrawLast();
    notice("NGREY");
}

void OstrelButton::setSpecialEffect(ReliefEffect effect)
{
    m_specialEffect = effect;
    redrawLast();
    notice("FX");
}

void OstrelButton::setCheckBoxBehaviour(bool behaviour)
{
    m_checkBoxBehaviour = behaviour;
    redrawLast();
    notice("CHECK");
}

void OstrelButton::setValue(bool value)
{
    m_value = value;
    if (m_checkBoxBehaviour)
        Redraw(DrawState::Normal, true);
    notice("VALUE");
}

void OstrelButton::Refresh()
{
    if (m_buttonType == ButtonStyle::SeeThrough)
        TakeBackgroundSnapshot();
    ComputePalette();
    LayoutContent();
    m_shown = true;
    redrawLast();
}

void OstrelButton::setDefaultLook(bool isDefault)
{
    if (m_defaultLook == isDefault)
        return;
    m_defaultLook = isDefault;
    AmbientChanged();
    QAccessible::State changed;
    changed.defaultButton = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void OstrelButton::AmbientChanged()
{
    ComputePalette();
    redrawLast();
}

// ---------------------------------------------------------------------------------------------
// Persistence

void OstrelButton::InitProperties()
{
    m_enabled = true;
    m_showFocusRect = true;
    m_useMaskColor = true;
    m_caption = objectName();
    m_captionFollowsName = true;
    UpdateAccessKey();
    QWidget::setFont(parentWidget() ? parentWidget()->font() : QApplication::font());
    m_buttonType = ButtonStyle::Gradient;
    m_colorScheme = ColourScheme::Properties;
    m_backColor = m_backOver = TranslateColour(SystemColour(SystemColourIndex::ButtonFace));
    m_foreColor = m_foreOver = TranslateColour(SystemColour(SystemColourIndex::ButtonText));
    m_maskColor = LightGrey;
    ComputePalette();
    LayoutContent();
}

void OstrelButton::ReadProperties(const PropertyStore &store)
{
    auto readPicture = [&store](const char *key) {
        const QString ref = store.readString(QString::fromLatin1(key), QString());
        ButtonPicture picture = ButtonPicture::fromReference(ref);
        if (picture.isNull() && !ref.trimmed().isEmpty())
            qWarning("OstrelButton: cannot read the picture \"%s\"", qPrintable(ref.left(80)));
        return picture;
    };

    // The codes are kept as stored, also those outside their lists, so they are written back
    // unchanged.
    m_buttonType = ButtonStyle(store.readInt(QStringLiteral("BTYPE"), qint32(ButtonStyle::Plain)));
    m_caption = store.readString(QStringLiteral("TX"), QString());
    m_captionFollowsName = false;
    m_enabled = store.readBool(QStringLiteral("ENAB"), true);
    QFont f = font();
    if (const auto fontSpec = ParseFontSpec(store.readString(QStringLiteral("FONT"), QString()))) {
        f.setFamily(fontSpec->family);
        f.setPointSizeF(fontSpec->pointSize);
        f.setBold(fontSpec->bold);
        f.setItalic(fontSpec->italic);
        f.setUnderline(fontSpec->underline);
        f.setStrikeOut(fontSpec->strikeout);
    }
    m_colorScheme = ColourScheme(store.readInt(QStringLiteral("COLTYPE"), qint32(ColourScheme::System)));
    m_showFocusRect = store.readBool(QStringLiteral("FOCUSR"), true);
    m_backColor = Colour(store.readInt(QStringLiteral("BCOL"),
                                       qint32(TranslateColour(SystemColour(SystemColourIndex::ButtonFace)))));
    m_backOver = Colour(store.readInt(QStringLiteral("BCOLO"), qint32(m_backColor)));
    m_foreColor = Colour(store.readInt(QStringLiteral("FCOL"),
                                       qint32(TranslateColour(SystemColour(SystemColourIndex::ButtonText)))));
    m_foreOver = Colour(store.readInt(QStringLiteral("FCOLO"), qint32(m_foreColor)));
    m_maskColor = Colour(store.readInt(QStringLiteral("MCOL"), qint32(LightGrey)));
    m_mousePointer = PointerShape(store.readInt(QStringLiteral("MPTR"), qint32(PointerShape::Default)));
    m_mouseIcon = readPicture("MICON");
    m_pictureNormal = readPicture("PICN");
    m_pictureOver = readPicture("PICH");
    m_useMaskColor = store.readBool(QStringLiteral("UMCOL"), true);
    m_softBevel = store.readBool(QStringLiteral("SOFT"), false);
    m_picturePosition = PicturePlace(store.readInt(QStringLiteral("PICPOS"), qint32(PicturePlace::Left)));
    m_useGreyscale = store.readBool(QStringLiteral("NGREY"), false);
    m_specialEffect = ReliefEffect(store.readInt(QStringLiteral("FX"), qint32(ReliefEffect::None)));
    m_checkBoxBehaviour = store.readBool(QStringLiteral("CHECK"), false);
    m_value = store.readBool(QStringLiteral("VALUE"), false);

    const bool wasShown = m_shown;
    m_shown = false; // the font change must not draw yet
    QWidget::setFont(f);
    m_shown = wasShown;
    applyMousePointer();
    m_settingEnabled = true;
    QWidget::setEnabled(m_enabled);
    m_settingEnabled = false;

    MeasurePicture();
    // The style decides the focus frame and the outline; a button that was already sized
    // needs both for its new style.
    HandleResize(false);
    UpdateAccessKey();
    // A button read while already on screen would otherwise keep showing its old look.
    if (isVisible()) {
        ComputePalette();
        Redraw(DrawState::Normal, true);
    }
}

void OstrelButton::WriteProperties(PropertyStore &store) const
{
    const QFont f = font();
    FontSpec fontSpec;
    fontSpec.family = f.family();
    fontSpec.pointSize = f.pointSizeF();
    fontSpec.bold = f.bold();
    fontSpec.italic = f.italic();
    fontSpec.underline = f.underline();
    fontSpec.strikeout = f.strikeOut();

    store.writeInt(QStringLiteral("BTYPE"), qint32(m_buttonType));
    store.write(QStringLiteral("TX"), m_caption);
    store.writeBool(QStringLiteral("ENAB"), m_enabled);
    store.write(QStringLiteral("FONT"), FormatFontSpec(fontSpec));
    store.writeInt(QStringLiteral("COLTYPE"), qint32(m_colorScheme));
    store.writeBool(QStringLiteral("FOCUSR"), m_showFocusRect);
    store.writeInt(QStringLiteral("BCOL"), qint32(m_backColor));
    store.writeInt(QStringLiteral("BCOLO"), qint32(m_backOver));
    store.writeInt(QStringLiteral("FCOL"), qint32(m_foreColor));
    store.writeInt(QStringLiteral("FCOLO"), qint32(m_foreOver));
    store.writeInt(QStringLiteral("MCOL"), qint32(m_maskColor));
    store.writeInt(QStringLiteral("MPTR"), qint32(m_mousePointer));
    store.write(QStringLiteral("MICON"), m_mouseIcon.toReference());
    store.write(QStringLiteral("PICN"), m_pictureNormal.toReference());
    store.write(QStringLiteral("PICH"), m_pictureOver.toReference());
    store.writeBool(QStringLiteral("UMCOL"), m_useMaskColor);
    store.writeBool(QStringLiteral("SOFT"), m_softBevel);
    store.writeInt(QStringLiteral("PICPOS"), qint32(m_picturePosition));
    store.writeBool(QStringLiteral("NGREY"), m_useGreyscale);
    store.writeInt(QStringLiteral("FX"), qint32(m_specialEffect));
    store.writeBool(QStringLiteral("CHECK"), m_checkBoxBehaviour);
    store.writeBool(QStringLiteral("VALUE"), m_value);
}

int ApplyButtonDefinitions(QWidget *window, const ButtonDefinitions &definitions)
{
    int applied = 0;
    if (!window)
        return 0;
    const auto buttons = window->findChildren<OstrelButton *>();
    for (OstrelButton *button : buttons) {
        if (button->objectName().isEmpty())
            continue;
        if (const PropertyStore *store = definitions.find(button->objectName())) {
            button->ReadProperties(*store);
            ++applied;
        }
    }
    return applied;
}

int ApplyButtonDefinitions(QWidget *window, const QString &path)
{
    QStringList problems;
    const auto definitions = ButtonDefinitions::load(path, &problems);
    if (!definitions) {
        qWarning("OstrelButton: cannot read the button definitions \"%s\"", qPrintable(path));
        return 0;
    }
    for (const QString &problem : problems)
        qWarning("OstrelButton: %s: %s", qPrintable(path), qPrintable(problem));
    return ApplyButtonDefinitions(window, *definitions);
}

// ---------------------------------------------------------------------------------------------
// Palette and geometry

std::optional<Colour> OstrelButton::SystemColourValue(int index)
{
    // The classic system colours mapped onto the application palette (active group).
    const QPalette pal = QGuiApplication::palette();
    auto role = [&pal](QPalette::ColorRole r) {
        return std::optional<Colour>(ColourOf(pal.color(QPalette::Active, r)));
    };
    auto inactive = [&pal](QPalette::ColorRole r) {
        return std::optional<Colour>(ColourOf(pal.color(QPalette::Inactive, r)));
    };
    switch (index) {
    case 0:  // scroll bar
    case 1:  // desktop
    case 4:  // menu
    case 11: // inactive border
    case 30: // menu bar
        return role(QPalette::Window);
    case 2:  // active caption
    case 13: // selection
    case 27: // active caption gradient
    case 29: // menu highlight
        return role(QPalette::Highlight);
    case 3:  // inactive caption
    case 28: // inactive caption gradient
        return inactive(QPalette::Highlight);
    case 5: // window (text field) background
        return role(QPalette::Base);
    case 6: // window frame
        return role(QPalette::Shadow);
    case 7: // menu text
        return role(QPalette::WindowText);
    case 8: // window (text field) text
        return role(QPalette::Text);
    case 9:  // caption text
    case 14: // selected text
        return role(QPalette::HighlightedText);
    case 10: // active border
    case SystemColourIndex::ButtonFace:
        return role(QPalette::Button);
    case 12: // application workspace
        return role(QPalette::Mid);
    case SystemColourIndex::ButtonShadow:
        return role(QPalette::Dark);
    case SystemColourIndex::GreyText:
        return std::optional<Colour>(ColourOf(pal.color(QPalette::Disabled, QPalette::WindowText)));
    case SystemColourIndex::ButtonText:
        return role(QPalette::ButtonText);
    case 19: // inactive caption text
        return inactive(QPalette::HighlightedText);
    case SystemColourIndex::ButtonHighlight:
        return role(QPalette::Light);
    case SystemColourIndex::DarkShadow3D:
        return role(QPalette::Shadow);
    case SystemColourIndex::Light3D:
        return role(QPalette::Midlight);
    case 23: // tool-tip text
        return role(QPalette::ToolTipText);
    case 24: // tool-tip background
        return role(QPalette::ToolTipBase);
    case 26: // hot-tracked item
        return role(QPalette::Link);
    default:
        return std::nullopt;
    }
}

Colour OstrelButton::TranslateColour(Colour colour) const
{
    return brivamo::TranslateColour(colour, &OstrelButton::SystemColourValue);
}

Colour OstrelButton::ShadeColour(Colour colour, int n, bool proportional) const
{
    return brivamo::ShadeColour(colour, n, proportional, m_softBevel);
}

ButtonPalette OstrelButton::paletteFor(Colour backColor) const
{
    PaletteInputs in;
    in.colorScheme = m_colorScheme;
    in.buttonType = m_buttonType;
    in.softBevel = m_softBevel;
    in.backColor = backColor;
    in.foreColor = m_foreColor;
    in.foreOver = m_foreOver;
    in.maskColor = m_maskColor;
    if (m_colorScheme == ColourScheme::Parent) {
        const QWidget *parent = parentWidget();
        const QPalette pal = parent ? parent->palette() : QGuiApplication::palette();
        const QPalette::ColorRole back = parent ? parent->backgroundRole() : QPalette::Window;
        const QPalette::ColorRole fore = parent ? parent->foregroundRole() : QPalette::WindowText;
        in.parentBack = ColourOf(pal.color(back));
        in.parentText = ColourOf(pal.color(fore));
    }
    return brivamo::ComputePalette(in, &OstrelButton::SystemColourValue);
}

void OstrelButton::ComputePalette()
{
    m_palette = paletteFor(m_backColor);
}

void OstrelButton::MeasurePicture()
{
    m_pictureWidth = m_pictureNormal.isNull() ? 0 : m_pictureNormal.width();
    m_pictureHeight = m_pictureNormal.isNull() ? 0 : m_pictureNormal.height();
}

QFont OstrelButton::captionFont() const
{
    // Antialiased and hinted as the desktop does it, like every other label in the window.
    QFont f = font();
    if (m_boldCaption)
        f.setBold(true);
    return f;
}

namespace {
QString DisplayCaption(const QString &caption)
{
    QString text = caption;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}
} // namespace

void OstrelButton::LayoutContent()
{
    LayoutInputs in;
    in.width = m_width;
    in.height = m_height;
    in.pictureWidth = m_pictureWidth;
    in.pictureHeight = m_pictureHeight;
    in.picturePosition = m_picturePosition;
    in.captionBlank = m_caption.trimmed().isEmpty();
    in.hasPicture = !m_pictureNormal.isNull() || !m_pictureOver.isNull();
    const QFontMetrics metrics(captionFont(), this);
    const QString text = DisplayCaption(m_caption);
    auto measure = [&](const PixelRect &working) {
        PixelRect r = working;
        if (text.isEmpty()) {
            r.right = r.left;
            r.bottom = r.top;
            return r;
        }
        const QRect bounds = metrics.boundingRect(
            QRect(working.left, working.top, std::max(working.width(), 0), std::max(working.height(), 0)),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic, text);
        r.right = r.left + bounds.width();
        r.bottom = r.top + bounds.height();
        return r;
    };
    m_layout = brivamo::LayoutContent(in, measure, m_layout);
}

QRegion OstrelButton::BuildRegion() const
{
    QRegion region(0, 0, m_width, m_height);
    for (const auto &[x, y] : RegionCutPixels(m_buttonType, m_width, m_height))
        region = region.subtracted(QRegion(x, y, 1, 1));
    return region;
}

void OstrelButton::HandleResize(bool redraw)
{
    if (m_resizeSuspended)
        return;
    m_width = width();
    m_height = height();
    // The surface has the screen's device pixels, so nothing is enlarged on a scaled screen;
    // the drawing works in logical pixels and maps them (ostrel_button_draw.cpp).
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize(int(std::floor(m_width * ratio + 0.5)), int(std::floor(m_height * ratio + 0.5)));
    if (m_surface.size() != deviceSize || m_surface.devicePixelRatio() != ratio) {
        if (m_width > 0 && m_height > 0) {
            m_surface = QImage(deviceSize, QImage::Format_RGB32);
            m_surface.setDevicePixelRatio(ratio);
            m_surface.fill(Qt::black);
            const int dpm = qRound(logicalDpiX() / 0.0254);
            m_surface.setDotsPerMeterX(dpm);
            m_surface.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
        } else {
            m_surface = QImage();
        }
    }
    m_focusFrame = FocusFrameFor(m_buttonType, m_width, m_height);
    LayoutContent();
    m_region = BuildRegion();
    if (m_region == QRegion(rect()))
        clearMask();
    else
        setMask(m_region);
    if (redraw && m_height != 0)
        Redraw(DrawState::Normal, true);
}

// ---------------------------------------------------------------------------------------------
// Qt events

void OstrelButton::paintEvent(QPaintEvent *)
{
    if (m_snapshotInProgress || m_surface.isNull())
        return; // let the parent's pixels show through while they are being copied
    if (m_surface.devicePixelRatio() != devicePixelRatioF())
        HandleResize(true); // moved to a screen with another scale
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface);
}

void OstrelButton::resizeEvent(QResizeEvent *)
{
    HandleResize(true);
}

void OstrelButton::showEvent(QShowEvent *)
{
    if (m_buttonType == ButtonStyle::SeeThrough)
        TakeBackgroundSnapshot();
    m_shown = true;
    ComputePalette();
    Redraw(DrawState::Normal, true);
}

void OstrelButton::hideEvent(QHideEvent *)
{
    m_shown = false;
}

void OstrelButton::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
        LayoutContent();
        Redraw(DrawState::Normal, true);
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
        AmbientChanged();
        break;
    case QEvent::EnabledChange:
        // Someone enabled or disabled the widget directly: keep Enabled in step.
        if (!m_settingEnabled && testAttribute(Qt::WA_ForceDisabled) == m_enabled) {
            m_enabled = !testAttribute(Qt::WA_ForceDisabled);
            Redraw(DrawState::Normal, true);
        }
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void OstrelButton::focusInEvent(QFocusEvent *)
{
    HandleFocus(true);
}

void OstrelButton::focusOutEvent(QFocusEvent *)
{
    HandleFocus(false);
}

void OstrelButton::mousePressEvent(QMouseEvent *event)
{
    const qint16 button = ButtonBits(event->button());
    if (button == 0)
        return;
    m_releaseEndsDoubleClick = false;
    const QPointF pos = event->position();
    HandleMouseDown(button, ShiftBits(event->modifiers()), float(pos.x()), float(pos.y()));
}

void OstrelButton::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF pos = event->position();
    HandleMouseMove(ButtonBits(event->buttons()), ShiftBits(event->modifiers()), float(pos.x()),
                    float(pos.y()));
}

void OstrelButton::mouseReleaseEvent(QMouseEvent *event)
{
    const qint16 button = ButtonBits(event->button());
    if (button == 0)
        return;
    const QPointF pos = event->position();
    HandleMouseUp(button, ShiftBits(event->modifiers()), float(pos.x()), float(pos.y()));
    const bool endsDoubleClick = m_releaseEndsDoubleClick;
    m_releaseEndsDoubleClick = false;
    // A click is a press and release of the same button inside the button, all buttons up.
    const QPoint p = pos.toPoint();
    const bool inside = mask().isEmpty() ? rect().contains(p) : mask().contains(p);
    if (!endsDoubleClick && inside && event->buttons() == Qt::NoButton)
        HandleClick();
}

void OstrelButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::NoButton)
        return;
    m_releaseEndsDoubleClick = true;
    HandleDblClick();
}

void OstrelButton::keyPressEvent(QKeyEvent *event)
{
    HandleKeyDown(KeyCodeOf(event), ShiftBits(event->modifiers()));
    const QString text = event->text();
    if (!text.isEmpty() && text[0].unicode() < 256) {
        qint16 ascii = qint16(text[0].unicode());
        emit KeyPress(ascii);
    }
    // Keys other than space also reach the window (arrow keys, Enter, Esc, F1...).
    if (event->key() != Qt::Key_Space)
        event->ignore();
}

void OstrelButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    HandleKeyUp(KeyCodeOf(event), ShiftBits(event->modifiers()));
    if (event->key() != Qt::Key_Space)
        event->ignore();
}

// ---------------------------------------------------------------------------------------------
// Input handling

bool OstrelButton::IsMouseOver() const
{
    return QApplication::widgetAt(QCursor::pos()) == this;
}

void OstrelButton::HandleMouseDown(qint16 button, qint16 shift, float x, float y)
{
    emit MouseDown(button, shift, x, y);
    m_lastMouseButton = quint8(button);
    if (button != SecondaryButton)
        Redraw(DrawState::Pressed, false);
}

void OstrelButton::HandleMouseMove(qint16 button, qint16 shift, float x, float y)
{
    emit MouseMove(button, shift, x, y);
    if (button >= SecondaryButton) // another button than the primary one is held
        return;
    if (!IsMouseOver()) {
        Redraw(DrawState::Normal, false);
        return;
    }
    if (!m_overTimer.isActive())
        emit MouseIn();
    if (button == 0 && !m_hover) {
        m_overTimer.start();
        m_hover = true;
        Redraw(DrawState::Normal, true);
        emit MouseOver();
    } else if (button == PrimaryButton) {
        m_hover = true;
        Redraw(DrawState::Pressed, false);
        m_hover = false;
    }
}

void OstrelButton::OverTimerTick()
{
    if (IsMouseOver())
        return;
    m_overTimer.stop();
    m_hover = false;
    Redraw(DrawState::Normal, true);
    emit MouseOut();
}

void OstrelButton::HandleMouseUp(qint16 button, qint16 shift, float x, float y)
{
    emit MouseUp(button, shift, x, y);
    if (button != SecondaryButton)
        Redraw(DrawState::Normal, false);
}

void OstrelButton::HandleClick()
{
    if (m_lastMouseButton != PrimaryButton || !m_enabled)
        return;
    if (m_checkBoxBehaviour)
        m_value = !m_value;
    Redraw(DrawState::Normal, true);
    repaint(); // the button must not look pressed while the Click handlers run
    emit Click();
}

void OstrelButton::HandleDblClick()
{
    if (m_lastMouseButton != PrimaryButton)
        return;
    // The mouse stays with the button until release (Qt grabs it for the pressed button).
    HandleMouseDown(PrimaryButton, 0, 0.0f, 0.0f);
}

void OstrelButton::HandleKeyDown(qint16 keyCode, qint16 shift)
{
    emit KeyDown(keyCode, shift);
    m_lastKeyCode = quint8(keyCode);
    if (keyCode == SpaceKey)
        Redraw(DrawState::Pressed, false);
}

void OstrelButton::HandleKeyUp(qint16 keyCode, qint16 shift)
{
    emit KeyUp(keyCode, shift);
    if (m_lastKeyCode != SpaceKey || keyCode != SpaceKey)
        return;
    if (m_checkBoxBehaviour)
        m_value = !m_value;
    Redraw(DrawState::Normal, false);
    repaint();
    emit Click();
}

void OstrelButton::AccessKeyPress()
{
    m_lastMouseButton = PrimaryButton;
    HandleClick();
}

void OstrelButton::HandleFocus(bool gained)
{
    m_focus = gained;
    redrawLast();
}

void OstrelButton::UpdateAccessKey()
{
    delete m_shortcut;
    m_shortcut = nullptr;
    m_accessKey = AccessKeyOf(m_caption);
    if (!m_accessKey)
        return;
    const QChar upper = m_accessKey->toUpper();
    m_shortcut =
        new QShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(upper.unicode()))), this);
    connect(m_shortcut, &QShortcut::activated, this, &OstrelButton::AccessKeyPress);
}

} // namespace brivamo
