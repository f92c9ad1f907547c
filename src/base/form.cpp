#include "base/form.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QScreen>

#include <map>

namespace brivamo {

// --- key preview -------------------------------------------------------------------------------------

// Qt delivers a key to the focused control first. To let a window see it before its controls, one
// application-wide filter catches each key press at its first delivery, offers it to the window,
// and, if the window does not consume it, delivers it on itself while passing it through, so the
// press is offered once even when it propagates from a control to its parents.
class KeyPreviewFilter : public QObject
{
public:
    using QObject::QObject;

    static void ensureInstalled()
    {
        static QPointer<KeyPreviewFilter> s_filter;
        if (!s_filter && qApp) {
            s_filter = new KeyPreviewFilter(qApp);
            qApp->installEventFilter(s_filter);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || m_delivering || !watched->isWidgetType())
            return false;
        auto *form = qobject_cast<Form *>(static_cast<QWidget *>(watched)->window());
        if (!form)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        QPointer<Form> guard(form);
        if (form->previewKeyPress(key->key(), key->modifiers())) {
            key->accept();
            return true;
        }
        if (!guard)
            return true;
        m_delivering = true;
        QCoreApplication::sendEvent(watched, event);
        m_delivering = false;
        // The press has had its whole delivery; stop the outer one from repeating it on the parents.
        key->accept();
        return true;
    }

private:
    bool m_delivering = false;
};

// --- accessibility -----------------------------------------------------------------------------------

// A plain QWidget window reaches assistive technology as a "filler" (Qt's Client role), which
// screen readers do not announce as a window. Each window is a frame (Qt's Window role), named by
// its title as Qt names every window.
QAccessibleInterface *formAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(Form::staticMetaObject.className()) && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

void installFormAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(formAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

// --- the registry ------------------------------------------------------------------------------------

namespace {

struct Registry
{
    std::map<std::type_index, Form *> byType;
    QList<Form *> inOrder;
    bool endWhenLastUnloads = false;
};

Registry &registry()
{
    static Registry r;
    return r;
}

// The headless platforms (tests) have no window stacking or opacity and warn about each use.
bool headlessPlatform()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

void bringToFront(QWidget *window)
{
    if (!headlessPlatform())
        window->raise();
    window->activateWindow();
}

} // namespace

Form *FormRegistry::find(std::type_index type)
{
    auto it = registry().byType.find(type);
    return it == registry().byType.end() ? nullptr : it->second;
}

void FormRegistry::add(std::type_index type, Form *form)
{
    registry().byType[type] = form;
    registry().inOrder.append(form);
    form->m_registered = true;
    form->load();
}

void FormRegistry::remove(const Form *form)
{
    Registry &r = registry();
    for (auto it = r.byType.begin(); it != r.byType.end(); ++it) {
        if (it->second == form) {
            r.byType.erase(it);
            break;
        }
    }
    r.inOrder.removeAll(const_cast<Form *>(form));
}

QList<Form *> FormRegistry::loaded()
{
    return registry().inOrder;
}

QList<Form *> loadedForms()
{
    return FormRegistry::loaded();
}

void unloadAllForms()
{
    const QList<Form *> forms = loadedForms();
    for (Form *f : forms) {
        if (loadedForms().contains(f))
            f->Unload();
    }
}

void endProgram(int code)
{
    unloadAllForms();
    QCoreApplication::exit(code);
}

void destroyAllForms()
{
    const QList<Form *> forms = loadedForms();
    for (Form *f : forms)
        delete f;
}

void setEndWhenLastFormUnloads(bool on)
{
    registry().endWhenLastUnloads = on;
}

// --- Form --------------------------------------------------------------------------------------------

Form::Form(QWidget *parent) : QWidget(parent, Qt::Window)
{
    KeyPreviewFilter::ensureInstalled();
    installFormAccessibility();
    // One fade step per screen frame or so: at 1 ms a whole fade would be over within one frame and
    // windows would seem to pop in and out. A precise timer never ticks early, so a fade of n steps
    // lasts at least n times the interval.
    timerFadeInOut.setInterval(FadeTickMilliseconds);
    timerFadeInOut.setTimerType(Qt::PreciseTimer);
    timerFadeInOut.setSingleShot(false);
    connect(&timerFadeInOut, &QTimer::timeout, this, [this] { timerFadeInOut_Timer(); });
}

Form::~Form()
{
    FormRegistry::remove(this);
}

void Form::load()
{
    m_loaded = true;
    Form_Load();
}

void Form::runFirstActivation()
{
    if (m_activated || !m_loaded)
        return;
    m_activated = true;
    Form_Activate();
}

void Form::Show()
{
    if (m_modalDepth == 0 && windowModality() != Qt::NonModal && !isVisible())
        setWindowModality(Qt::NonModal);
    show();
    bringToFront(this);
    runFirstActivation();
}

void Form::ShowModal()
{
    QPointer<Form> self(this);
    // Modality takes effect only when a window is shown, so a visible window is shown again.
    if (isVisible() && windowModality() != Qt::ApplicationModal)
        hide();
    setWindowModality(Qt::ApplicationModal);
    ++m_modalDepth;
    show();
    bringToFront(this);
    runFirstActivation();

    if (self && m_loaded && isVisible()) {
        QEventLoop loop;
        connect(this, &Form::modalWaitEnded, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (self) {
        --m_modalDepth;
        if (m_modalDepth == 0 && !isVisible())
            setWindowModality(Qt::NonModal);
    }
}

void Form::Hide()
{
    hide();
}

bool Form::Unload()
{
    if (!m_loaded)
        return true;
    if (Form_QueryUnload(UnloadMode::FormCode))
        return false;
    doUnload();
    return true;
}

void Form::doUnload()
{
    if (!m_loaded)
        return;
    Form_Unload();
    m_loaded = false;
    timerFadeInOut.stop();
    FormRegistry::remove(this);
    hide();
    emit modalWaitEnded();
    emit unloaded();
    if (m_registered)
        deleteLater();
    if (registry().endWhenLastUnloads && loadedForms().isEmpty()) {
        // Checked once the current handler has finished, so that a window shown right after this
        // unload (the title window handing over to the lobby) keeps the program alive.
        QTimer::singleShot(0, qApp, [] {
            if (registry().endWhenLastUnloads && loadedForms().isEmpty())
                QCoreApplication::exit(0);
        });
    }
}

bool Form::Form_KeyDown(int, Qt::KeyboardModifiers)
{
    return false;
}

bool Form::Form_QueryUnload(UnloadMode)
{
    return false;
}

void Form::closeEvent(QCloseEvent *event)
{
    // The program itself never closes a window (it unloads it), so a close is the user's command.
    if (!m_loaded) {
        event->accept();
        return;
    }
    if (Form_QueryUnload(UnloadMode::ControlMenu)) {
        event->ignore();
        return;
    }
    event->accept();
    doUnload();
}

void Form::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous() && m_modalDepth > 0)
        emit modalWaitEnded();
}

bool Form::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        runFirstActivation();
    return QWidget::event(event);
}

// --- default and cancel buttons ----------------------------------------------------------------------

void Form::setDefaultButton(QWidget *button, std::function<void()> click)
{
    QWidget *previous = m_default.button;
    m_default = {button, std::move(click)};
    if (previous != button) {
        watchRoleButton(previous, button);
        if (previous)
            previous->update();
        if (button)
            button->update();
        emit defaultButtonChanged(previous, button);
    }
    settleWaitingFocus();
}

void Form::setCancelButton(QWidget *button, std::function<void()> click)
{
    QWidget *previous = m_cancel.button;
    m_cancel = {button, std::move(click)};
    if (previous != button) {
        watchRoleButton(previous, button);
        emit cancelButtonChanged(previous, button);
    }
    settleWaitingFocus();
}

void Form::watchRoleButton(QWidget *previous, QWidget *current)
{
    if (previous && previous != m_default.button && previous != m_cancel.button)
        previous->removeEventFilter(this);
    if (current)
        current->installEventFilter(this); // installing twice keeps one filter
}

bool Form::isUsable(const QWidget *button) const
{
    return button && button->window() == this && button->isEnabled() && button->isVisibleTo(this) &&
           button->focusPolicy() != Qt::NoFocus;
}

bool Form::focusRoleButton()
{
    for (QWidget *button : {m_default.button.data(), m_cancel.button.data()}) {
        if (isUsable(button)) {
            button->setFocus(Qt::OtherFocusReason);
            // On the cancel button the focus still moves on once the default button can take it.
            m_waitingFocus = button == m_default.button ? nullptr : button;
            return true;
        }
    }
    return false;
}

bool Form::settleWaitingFocus()
{
    if (!m_waitingFocus || focusWidget() != m_waitingFocus) {
        m_waitingFocus = nullptr;
        return false;
    }
    if (m_waitingFocus == m_cancel.button && !isUsable(m_default.button))
        return false;
    return focusRoleButton();
}

bool Form::focusNextPrevChild(bool next)
{
    QWidget *leaving = focusWidget();
    const bool leavingUnusable =
        leaving && leaving != this && (!leaving->isVisible() || !leaving->isEnabled());
    if (!leavingUnusable) {
        m_waitingFocus = nullptr;
        return QWidget::focusNextPrevChild(next);
    }
    if (focusRoleButton())
        return true;
    const bool moved = QWidget::focusNextPrevChild(next);
    m_waitingFocus = focusWidget();
    return moved;
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Show || event->type() == QEvent::EnabledChange) &&
        (watched == m_default.button || watched == m_cancel.button))
        settleWaitingFocus();
    return QWidget::eventFilter(watched, event);
}

const Form *Form::hostOf(const QWidget *button)
{
    return button ? qobject_cast<const Form *>(button->window()) : nullptr;
}

bool Form::isDefaultButton(const QWidget *button)
{
    const Form *host = hostOf(button);
    return host && host->m_default.button == button;
}

bool Form::isCancelButton(const QWidget *button)
{
    const Form *host = hostOf(button);
    return host && host->m_cancel.button == button;
}

bool Form::pressRole(const ButtonRole &role)
{
    QWidget *button = role.button;
    if (!button || !button->isEnabled() || !button->isVisibleTo(button->window()))
        return false;
    if (role.click) {
        role.click();
        return true;
    }
    if (auto *pushButton = qobject_cast<QAbstractButton *>(button)) {
        pushButton->click();
        return true;
    }
    return false;
}

bool Form::previewKeyPress(int key, Qt::KeyboardModifiers modifiers)
{
    // A disabled window (for instance while it fades) takes no keys at all.
    if (!isEnabled())
        return true;
    if (Form_KeyDown(key, modifiers))
        return true;
    const bool plain = (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter))
        return pressRole(m_default);
    if (plain && key == Qt::Key_Escape)
        return pressRole(m_cancel);
    return false;
}

// --- twips -------------------------------------------------------------------------------------------

double Form::dotsPerInch(const QWidget *reference)
{
    QScreen *screen = reference ? reference->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int Form::twipsToPixels(int twips, const QWidget *reference)
{
    return qRound(twips * dotsPerInch(reference) / 1440.0);
}

int Form::pixelsToTwips(int pixels, const QWidget *reference)
{
    return qRound(pixels * 1440.0 / dotsPerInch(reference));
}

void Form::setSizeTwips(int width, int height)
{
    int w = twipsToPixels(width);
    int h = twipsToPixels(height);
    if (!(windowFlags() & Qt::FramelessWindowHint)) {
        w -= 2 * FrameWidthPixels;
        h -= 2 * FrameWidthPixels + CaptionHeightPixels;
    }
    setFixedSize(qMax(1, w), qMax(1, h));
}

void Form::centerOnScreen()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void Form::placeTwips(QWidget *child, int left, int top, int width, int height)
{
    child->setGeometry(twipsToPixels(left, child), twipsToPixels(top, child), twipsToPixels(width, child),
                       twipsToPixels(height, child));
}

// --- fading ------------------------------------------------------------------------------------------

void Form::StartFade(quint8 start, quint8 end, quint8 step, bool unloadWhenDone)
{
    fadeRequest.begin(start, end, step, unloadWhenDone);
    timerFadeInOut.start();
}

void Form::WaitForFade()
{
    QPointer<Form> self(this);
    while (self && timerFadeInOut.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void Form::timerFadeInOut_Timer()
{
    const bool first = fadeRequest.firstTick;
    if (first)
        setEnabled(false);
    const bool done = fadeRequest.advance();
    if (!headlessPlatform())
        setWindowOpacity(fadeRequest.currentAlpha / 255.0);
    if (!done)
        return;
    timerFadeInOut.stop();
    if (fadeRequest.unloadWhenDone)
        FadeCompleted();
    else
        setEnabled(true);
}

void Form::FadeCompleted()
{
    Unload();
}

} // namespace brivamo
