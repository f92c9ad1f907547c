#pragma once

#include "controls/button_codes.h"
#include "controls/button_colour.h"
#include "controls/button_layout.h"
#include "controls/button_picture.h"
#include "controls/button_store.h"

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <optional>

class QShortcut;

namespace brivamo {

// The program's owner-drawn push button. It paints only into its own image (surface()), which
// paintEvent copies to the screen, so every pixel is the button's own choice.
//
// Typical use in a window:
//
//     auto *cmdQuit = new OstrelButton(this);
//     cmdQuit->setObjectName(QStringLiteral("cmdQuit"));
//     ApplyButtonDefinitions(this, QStringLiteral(":/buttons/frmLobby.txt"));
//     connect(cmdQuit, &OstrelButton::Click, this, &frmLobby::cmdQuit_Click);
//
// Events with arguments pass them by reference: a handler connected directly may change them
// and the button continues with the changed values (a MouseDown handler that sets Button to 2
// prevents the pressed look).
class OstrelButton : public QWidget
{
    Q_OBJECT
    // The identifier under which the control is known to its hosts.
    Q_CLASSINFO("ProgrammaticIdentifier", "Brivamo.OstrelButton")

public:
    enum class DrawState { Normal, Pressed };
    enum class PictureMode { Normal, Pressed, Disabled };
    // Caption looks drawn by DrawCaption.
    enum class CaptionContent {
        Normal,
        Hovered,
        PressedRounded, // pressed, rounded style
        Disabled,       // engraved: a light copy under a dark one
        DisabledRounded,
        Pressed, // gradient and see-through styles
    };

    explicit OstrelButton(QWidget *parent = nullptr);
    ~OstrelButton() override;

    // --- Properties -------------------------------------------------------------------------
    Colour BackColor() const { return m_backColor; }
    void setBackColor(Colour colour);
    Colour BackOver() const { return m_backOver; }
    void setBackOver(Colour colour);
    Colour ForeColor() const { return m_foreColor; }
    void setForeColor(Colour colour);
    Colour ForeOver() const { return m_foreOver; }
    void setForeOver(Colour colour);
    Colour MaskColor() const { return m_maskColor; }
    void setMaskColor(Colour colour);

    ButtonStyle ButtonType() const { return m_buttonType; }
    void setButtonType(ButtonStyle style);

    // "&" marks the access key, "&&" shows one "&"; line breaks are allowed.
    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // Hides QWidget::setEnabled on purpose: the button keeps its own Enabled state and redraws.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    QFont Font() const { return font(); }
    void setFont(const QFont &font);
    bool FontBold() const { return font().bold(); }
    void setFontBold(bool bold);
    bool FontItalic() const { return font().italic(); }
    void setFontItalic(bool italic);
    bool FontUnderline() const { return font().underline(); }
    void setFontUnderline(bool underline);
    qint16 FontSize() const;
    void setFontSize(qint16 points);
    QString FontName() const { return font().family(); }
    void setFontName(const QString &name);

    ColourScheme ColorScheme() const { return m_colorScheme; }
    void setColorScheme(ColourScheme scheme);
    bool ShowFocusRect() const { return m_showFocusRect; }
    void setShowFocusRect(bool show);

    PointerShape MousePointer() const { return m_mousePointer; }
    void setMousePointer(PointerShape pointer);
    // The cursor of PointerShape::Custom.
    ButtonPicture MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(const ButtonPicture &icon);

    bool SoftBevel() const { return m_softBevel; }
    void setSoftBevel(bool soft);
    ButtonPicture PictureNormal() const { return m_pictureNormal; }
    void setPictureNormal(const ButtonPicture &picture);
    ButtonPicture PictureOver() const { return m_pictureOver; }
    void setPictureOver(const ButtonPicture &picture);
    PicturePlace PicturePosition() const { return m_picturePosition; }
    void setPicturePosition(PicturePlace position);
    bool UseMaskColor() const { return m_useMaskColor; }
    void setUseMaskColor(bool use);
    bool UseGreyscale() const { return m_useGreyscale; }
    void setUseGreyscale(bool use);
    ReliefEffect SpecialEffect() const { return m_specialEffect; }
    void setSpecialEffect(ReliefEffect effect);
    bool CheckBoxBehaviour() const { return m_checkBoxBehaviour; }
    void setCheckBoxBehaviour(bool behaviour);
    bool Value() const { return m_value; }
    void setValue(bool value);

    static QString Version();

    // New snapshot (see-through style), palette, layout, then repaint the last look.
    void Refresh();

    // --- Host side --------------------------------------------------------------------------
    // Settings of a newly placed button (also what the constructor starts with). The caption is
    // the object name, and follows it until a caption is set or stored properties are read.
    void InitProperties();
    // Applies a stored definition; absent keys take the stored-instance defaults.
    void ReadProperties(const PropertyStore &store);
    // Writes every key, in order, with the current values.
    void WriteProperties(PropertyStore &store) const;

    // Whether the window treats this button as its default button (bold caption, blue rim).
    bool defaultLook() const { return m_defaultLook; }
    void setDefaultLook(bool isDefault);

    // The access-key path: clicks like a completed primary-button click (raises Click when
    // enabled). Windows use it for Enter and Esc on their default and cancel buttons.
    void AccessKeyPress();
    void click() { AccessKeyPress(); }
    std::optional<QChar> accessKey() const { return m_accessKey; }

    // --- Drawing and geometry ---------------------------------------------------------------
    void Redraw(DrawState state, bool force);
    void DrawCaption(CaptionContent content);
    void DrawPicture(PictureMode mode);
    // solid: paint the picture's pixels in one colour instead (nothing: the picture's own).
    void CompositePicture(int x, int y, int w, int h, const ButtonPicture &picture,
                          std::optional<Colour> solid, bool darkOnly, bool greyscale);
    void TakeBackgroundSnapshot();
    void ComputePalette();
    void MeasurePicture();
    void LayoutContent();
    QRegion BuildRegion() const;
    bool IsMouseOver() const;
    void UpdateAccessKey();
    Colour TranslateColour(Colour colour) const;
    Colour ShadeColour(Colour colour, int n, bool proportional = false) const;

    const QImage &surface() const { return m_surface; }
    const ButtonPalette &buttonPalette() const { return m_palette; }
    const ContentLayout &contentLayout() const { return m_layout; }
    PixelRect focusFrame() const { return m_focusFrame; }
    QSize pictureBox() const { return {m_pictureWidth, m_pictureHeight}; }
    const QImage &snapshot() const { return m_snapshot; }
    bool isHovered() const { return m_hover; }
    // Nothing until the first completed repaint.
    std::optional<DrawState> lastDrawnState() const { return m_lastState; }
    // Completed repaints of the surface since creation (diagnostics).
    quint64 drawCount() const { return m_drawCount; }

    QSize sizeHint() const override;

    // The current value of a system colour, taken from the application palette.
    static std::optional<Colour> SystemColourValue(int index);

signals:
    void Click();
    void MouseDown(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void MouseMove(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void MouseUp(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void KeyPress(qint16 &KeyAscii);
    void KeyDown(qint16 &KeyCode, qint16 &Shift);
    void KeyUp(qint16 &KeyCode, qint16 &Shift);
    void MouseOver();
    void MouseIn();
    void MouseOut();
    // A property changed; key is its persistence key ("BCOL", "TX", ...).
    void PropertyChanged(const QString &key);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // Host notifications.
    void HandleResize(bool redraw);
    void HandleMouseDown(qint16 button, qint16 shift, float x, float y);
    void HandleMouseMove(qint16 button, qint16 shift, float x, float y);
    void HandleMouseUp(qint16 button, qint16 shift, float x, float y);
    void HandleClick();
    void HandleDblClick();
    void HandleKeyDown(qint16 keyCode, qint16 shift);
    void HandleKeyUp(qint16 keyCode, qint16 shift);
    void HandleFocus(bool gained);
    void AmbientChanged();
    void OverTimerTick();

    void notice(const char *key) { emit PropertyChanged(QString::fromLatin1(key)); }
    // Access key, layout and look after the caption changed; tells screen readers the new name.
    void captionChanged();
    void applyMousePointer();
    void redrawLast() { Redraw(m_lastState.value_or(DrawState::Normal), true); }
    ButtonPalette paletteFor(Colour backColor) const;
    QFont captionFont() const;

    // Drawing primitives on the surface.
    void Fill(int x, int y, int w, int h, Colour c);
    void Frame(int x, int y, int w, int h, Colour c);
    void Line(int x1, int y1, int x2, int y2, Colour c);
    void Pixel(int x, int y, Colour c);
    void Bevel(Colour c1, Colour c2);
    void Gradient(Colour c0, int k, bool topDown, bool proportional);
    void DrawFocus();
    void DrawText(const PixelRect &rect, Colour colour);
    void DrawSnapshot();
    void BeginDefaultCaption();
    void EndDefaultCaption();
    void FrameSet();
    void DrawRim(const RoundedColour::Rim &rim);
    void DrawGradientStyle(DrawState state);
    void DrawSeeThroughStyle(DrawState state);
    void DrawRoundedStyle(DrawState state);
    void PictureEffect(int offset, const ButtonPicture &picture);

    // Stored properties.
    Colour m_backColor = 0;
    Colour m_backOver = 0;
    Colour m_foreColor = 0;
    Colour m_foreOver = 0;
    Colour m_maskColor = LightGrey;
    ButtonStyle m_buttonType = ButtonStyle::Gradient;
    QString m_caption;
    bool m_enabled = true;
    ColourScheme m_colorScheme = ColourScheme::Properties;
    bool m_showFocusRect = true;
    PointerShape m_mousePointer = PointerShape::Default;
    ButtonPicture m_mouseIcon;
    bool m_softBevel = false;
    ButtonPicture m_pictureNormal;
    ButtonPicture m_pictureOver;
    PicturePlace m_picturePosition = PicturePlace::Left;
    bool m_useMaskColor = true;
    bool m_useGreyscale = false;
    ReliefEffect m_specialEffect = ReliefEffect::None;
    bool m_checkBoxBehaviour = false;
    bool m_value = false;

    // Internal state.
    bool m_shown = true;
    bool m_hover = false;
    bool m_focus = false;
    std::optional<DrawState> m_lastState;
    QString m_lastCaption;
    quint8 m_lastMouseButton = 0;
    quint8 m_lastKeyCode = 0;
    bool m_resizeSuspended = false;
    bool m_snapshotInProgress = false;
    bool m_defaultLook = false;
    bool m_captionFollowsName = false;
    bool m_settingEnabled = false;
    bool m_releaseEndsDoubleClick = false;
    ButtonPalette m_palette;
    int m_width = 0;
    int m_height = 0;
    PixelRect m_focusFrame;
    ContentLayout m_layout;
    int m_pictureWidth = 0;
    int m_pictureHeight = 0;
    QRegion m_region;
    QImage m_surface;
    QImage m_snapshot;
    QTimer m_overTimer;
    QShortcut *m_shortcut = nullptr;
    std::optional<QChar> m_accessKey;
    CaptionContent m_lastContentState = CaptionContent::Normal;
    bool m_boldCaption = false;  // draw and lay out the caption in bold for now
    bool m_captionDrawn = false; // a caption was drawn in the current repaint
    quint64 m_drawCount = 0;
};

// Reads a window's stored button definitions (a file or resource in the ButtonDefinitions
// format) and applies each section to the OstrelButton child whose objectName matches.
// Returns how many buttons were read; sections without a button and buttons without a
// section are left alone.
int ApplyButtonDefinitions(QWidget *window, const QString &path);
int ApplyButtonDefinitions(QWidget *window, const ButtonDefinitions &definitions);

} // namespace brivamo
