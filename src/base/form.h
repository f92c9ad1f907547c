#pragma once

#include "base/fade_request.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <typeindex>

namespace brivamo {

// Why a window is being unloaded; passed to Form_QueryUnload.
enum class UnloadMode {
    ControlMenu, // the user closed it through the window system (close box, Alt+F4)
    FormCode,    // the program called Unload() or unloadAllForms()
};

// Base of every top-level window of the program.
//
// A window subclasses Form, builds its controls in its constructor (or in Form_Load), and is used
// only through the registry below, which keeps at most one instance of each window class:
//
//   class frmManual : public Form {
//       Q_OBJECT
//   public:
//       frmManual();                      // create controls, e.g. placeTwips(cmdReturn, 4620, 105, 1590,
//       645)
//   protected:
//       void Form_Load() override;        // setSizeTwips(6540, 6660); modStandard::TileBackground(...)
//       void Form_Activate() override;    // runs once, at the first activation
//       bool Form_KeyDown(int key, Qt::KeyboardModifiers shift) override;
//   };
//
//   form<frmManual>().ShowModal();        // created and loaded on first use
//
// Lifecycle: form<T>() creates the window and runs Form_Load. Show()/ShowModal() show it and run
// Form_Activate at its first activation (the first-activation flag lives here). Unload() asks
// Form_QueryUnload, runs Form_Unload, hides the window and clears the registry's reference (the
// object itself is deleted later, once control is back in the event loop), so the next form<T>()
// creates a fresh window that loads and activates again. Do not keep a Form pointer across an
// unload; ask the registry again.
//
// Sizes and positions are in twips: 1,440 to the inch, 15 to a pixel at 96 DPI, scaled by the
// screen's logical DPI.
class Form : public QWidget
{
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    // Shows the window modeless and runs its first activation.
    void Show();
    // Shows the window application-modal and returns only after it has been unloaded or hidden.
    // The local event loop keeps every window's timers, fades and painting running meanwhile.
    void ShowModal();
    void Hide();
    // Asks Form_QueryUnload(FormCode) and, unless it cancels, unloads. Returns false if cancelled.
    bool Unload();

    bool isLoaded() const { return m_loaded; }
    bool firstActivationDone() const { return m_activated; }
    // True while ShowModal() is waiting for this window.
    bool isShownModal() const { return m_modalDepth > 0; }

    // --- default (Enter) and cancel (Esc) buttons --------------------------------------------------
    // At most one of each; setting another moves the role. `click` is what Enter/Esc does to the
    // button (for the owner-drawn button: its access-key path). Without `click`, a QAbstractButton
    // is clicked; other widgets need `click`. The key does nothing while the button is hidden or
    // disabled. Passing nullptr removes the role. One widget may hold both roles.
    void setDefaultButton(QWidget *button, std::function<void()> click = {});
    void setCancelButton(QWidget *button, std::function<void()> click = {});
    QWidget *defaultButton() const { return m_default.button; }
    QWidget *cancelButton() const { return m_cancel.button; }
    // True when `button` is the default button of the window it sits in (for drawing it as such).
    static bool isDefaultButton(const QWidget *button);
    static bool isCancelButton(const QWidget *button);
    // Whether Enter or Esc would press this role's button now (shown, enabled, focusable).
    bool isUsable(const QWidget *button) const;

    // --- twips -------------------------------------------------------------------------------------
    // Pixels per inch used for twips: the logical DPI of the widget's screen (96 when unknown).
    static double dotsPerInch(const QWidget *reference);
    static int twipsToPixels(int twips, const QWidget *reference);
    static int pixelsToTwips(int pixels, const QWidget *reference);
    int twipsToPixels(int twips) const { return twipsToPixels(twips, this); }

    // Sets the window's size in twips. The twips are the outer size of a window with a caption and
    // a fixed single border, as the layouts were designed for; the client area is that size less a
    // nominal frame of FrameWidthPixels at each side and CaptionHeightPixels on top (the real window
    // manager's frame is drawn outside it). A frameless window (Qt::FramelessWindowHint) gets the
    // whole size as its client area. The window cannot be resized by the user afterwards.
    void setSizeTwips(int width, int height);
    static constexpr int FrameWidthPixels = 3;
    static constexpr int CaptionHeightPixels = 19;

    // Moves the window to the centre of its screen's available area.
    void centerOnScreen();

    // Places `child` at left, top with width and height, all in twips, within its parent's client
    // area (the window, or a container such as a picture strip).
    static void placeTwips(QWidget *child, int left, int top, int width, int height);

    // --- fading ------------------------------------------------------------------------------------
    // The fade timer: one step every FadeTickMilliseconds, stopped while no fade runs. Waiting for a
    // fade means dispatching events until it is inactive (see WaitForFade).
    static constexpr int FadeTickMilliseconds = 15;
    QTimer timerFadeInOut;
    FadeRequest fadeRequest;

    // Starts a fade from `start` to `end` alpha by `step` per tick and returns at once. With
    // `unloadWhenDone` the window runs FadeCompleted() after the last tick.
    void StartFade(quint8 start, quint8 end, quint8 step, bool unloadWhenDone);
    // Dispatches events until this window's fade has ended.
    void WaitForFade();
    bool isFading() const { return timerFadeInOut.isActive(); }

signals:
    // The window was unloaded (its registry reference is already cleared).
    void unloaded();
    // Ends a ShowModal() wait: the window was unloaded or hidden.
    void modalWaitEnded();
    void defaultButtonChanged(QWidget *previous, QWidget *current);
    void cancelButtonChanged(QWidget *previous, QWidget *current);

protected:
    // Runs once, right after the registry created the window.
    virtual void Form_Load() {}
    // Runs once per window instance, when it is first shown (activated).
    virtual void Form_Activate() {}
    // Sees every key press in the window before its controls do. Return true to consume the key.
    // `key` is a Qt::Key (Qt::Key_F1, ...). Enter and Esc reach the default and cancel buttons
    // only when this returns false.
    virtual bool Form_KeyDown(int key, Qt::KeyboardModifiers shift);
    // Return true to cancel the unload.
    virtual bool Form_QueryUnload(UnloadMode mode);
    // Runs when the window is being unloaded (after Form_QueryUnload agreed).
    virtual void Form_Unload() {}
    // The action at the end of a fade started with unloadWhenDone; unloads the window by default.
    virtual void FadeCompleted();
    // One fade step; runs on every tick of timerFadeInOut.
    virtual void timerFadeInOut_Timer();

    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool event(QEvent *event) override;
    // Qt moves the focus off a control that hides or is disabled by asking for the next control.
    // Here it goes to the default button instead (else the cancel button), so that Space presses
    // what Enter presses; where neither can take it yet, the focus waits on the control Qt picks
    // and moves to them as soon as one can.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class FormRegistry;
    friend class KeyPreviewFilter;

    struct ButtonRole
    {
        QPointer<QWidget> button;
        std::function<void()> click;
    };

    void load();
    void runFirstActivation();
    void doUnload();
    bool previewKeyPress(int key, Qt::KeyboardModifiers modifiers);
    static bool pressRole(const ButtonRole &role);
    void watchRoleButton(QWidget *previous, QWidget *current);
    // Moves a waiting focus to the default or cancel button when one can take it.
    bool settleWaitingFocus();
    bool focusRoleButton();
    static const Form *hostOf(const QWidget *button);

    bool m_loaded = false;
    bool m_activated = false;
    bool m_registered = false;
    int m_modalDepth = 0;
    ButtonRole m_default;
    ButtonRole m_cancel;
    // Where the focus went when it had to leave a control and no role button could take it.
    QPointer<QWidget> m_waitingFocus;
};

// --- the window registry ---------------------------------------------------------------------------

// Keeps each window class's single instance. Use form<T>() and loadedForm<T>() rather than this.
class FormRegistry
{
public:
    static Form *find(std::type_index type);
    // Registers `form` as the instance of `type` and runs its Form_Load.
    static void add(std::type_index type, Form *form);
    static void remove(const Form *form);
    static QList<Form *> loaded();
};

// The one instance of window class T, created and loaded (Form_Load) on first use.
template <class T> T &form()
{
    static_assert(std::is_base_of_v<Form, T>, "windows derive from brivamo::Form");
    if (Form *existing = FormRegistry::find(typeid(T)))
        return *static_cast<T *>(existing);
    T *created = new T;
    FormRegistry::add(typeid(T), created); // registers, then runs Form_Load
    return *created;
}

// The loaded instance of T, or nullptr when it is not loaded (never creates one).
template <class T> T *loadedForm()
{
    return static_cast<T *>(FormRegistry::find(typeid(T)));
}

// Every loaded window, in the order they were loaded.
QList<Form *> loadedForms();

// Unloads every loaded window (each is asked with UnloadMode::FormCode).
void unloadAllForms();

// Unloads every window and ends the program's event loop; the program exits with `code`.
void endProgram(int code = 0);

// Deletes every window at once, without asking or unloading (process shutdown, test clean-up).
void destroyAllForms();

// When on (the program sets it; tests leave it off), unloading the last loaded window ends the
// event loop, so the process ends when no window is left.
void setEndWhenLastFormUnloads(bool on);

} // namespace brivamo
