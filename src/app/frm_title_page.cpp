#include "app/frm_title_page.h"

#include "app/frm_new_user.h"
#include "app/frm_title_page_texts.h"
#include "base/app_icon.h"
#include "base/app_info.h"
#include "base/maker_info.h"
#include "base/settings.h"
#include "base/window_routines.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "lobby/frm_lobby.h"

#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>

namespace brivamo {

namespace {

const QString ButtonDefinitionsPath = QStringLiteral(":/buttons/frmTitlePage.txt");
const QString BackgroundPicture = QStringLiteral(":/pictures/title_tile.png");

// Where the controls sit, in twips (left, top, width, height).
struct Placement
{
    int left, top, width, height;
};
constexpr Placement AniGifPlacements[frmTitlePage::AniGifCount] = {
    {2940, 735, 1680, 1200}, {105, 105, 600, 375},  {735, 105, 600, 375},
    {1365, 105, 600, 375},   {1890, 105, 600, 375}, {2520, 105, 600, 375},
    {3045, 105, 600, 375},   {3570, 105, 600, 375}, {4200, 105, 600, 375},
};

const QColor Ink(16, 32, 96);
const QColor LinkInk(0, 64, 192);

QLabel *makeLabel(QWidget *parent, const char *name, double points, bool bold, bool italic,
                  Qt::Alignment alignment, const QColor &colour = Ink)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

// One of the window's animations. Where the screen scales by 1.5 or 2 it plays the copy of its
// picture drawn for that scale ("title_anim_3@2x.gif"), one picture pixel to a device pixel, at
// the same logical size; unscaled it is a plain label playing the picture itself.
class Animation : public QLabel
{
public:
    Animation(int index, QWidget *parent)
        : QLabel(parent), m_stem(QStringLiteral(":/pictures/title_anim_%1").arg(index))
    {
        setObjectName(QStringLiteral("AniGif%1").arg(index));
        setScaledContents(true);
        play(copyFor(devicePixelRatioF()));
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        // The window may have moved to a screen of another scale since the last picture.
        const qreal ratio = copyFor(devicePixelRatioF());
        if (ratio != m_ratio)
            play(ratio);
        if (m_ratio == 1.0) {
            QLabel::paintEvent(event);
            return;
        }
        QImage frame = movie()->currentImage();
        frame.setDevicePixelRatio(m_ratio);
        QPainter(this).drawImage(QPointF(0, 0), frame);
    }

private:
    // The scale of the copy to play on a screen of this device pixel ratio: the finest copy that
    // is not finer than the screen.
    static qreal copyFor(qreal screenRatio)
    {
        qreal best = 1.0;
        for (qreal ratio : {1.5, 2.0})
            if (ratio <= screenRatio + 1e-6)
                best = ratio;
        return best;
    }

    QString fileFor(qreal ratio) const
    {
        return ratio == 1.0 ? m_stem + QStringLiteral(".gif")
                            : m_stem + QStringLiteral("@%1x.gif").arg(ratio);
    }

    // Plays the copy for this scale, taking over the frame and state of the one playing so far.
    void play(qreal ratio)
    {
        QMovie *previous = movie();
        auto *next = new QMovie(fileFor(ratio), QByteArray(), this);
        if (previous && !next->isValid()) {
            delete next;
            return;
        }
        m_ratio = ratio;
        next->setCacheMode(QMovie::CacheAll);
        if (previous) {
            next->jumpToFrame(previous->currentFrameNumber());
            if (previous->state() != QMovie::NotRunning)
                next->start();
            if (previous->state() == QMovie::Paused)
                next->setPaused(true);
        }
        setMovie(next);
        delete previous;
    }

    const QString m_stem;
    qreal m_ratio = 1.0;
};

} // namespace

frmTitlePage::frmTitlePage()
{
    setObjectName(QStringLiteral("frmTitlePage"));
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowTitle(AppTitle);
    setWindowIcon(AppIcon());
    createControls();
}

frmTitlePage::~frmTitlePage() = default;

void frmTitlePage::createControls()
{
    // Inside the border: the area the controls' positions are measured from.
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));

    lblAppDescription =
        makeLabel(m_client, "lblAppDescription", 13, true, false, Qt::AlignLeft | Qt::AlignVCenter);
    placeTwips(lblAppDescription, 105, 630, 2430, 435);
    lblVersion = makeLabel(m_client, "lblVersion", 8, false, false, Qt::AlignLeft | Qt::AlignVCenter);
    placeTwips(lblVersion, 105, 1260, 2115, 225);
    lblCopyright = makeLabel(m_client, "lblCopyright", 8, false, false, Qt::AlignLeft | Qt::AlignVCenter);
    placeTwips(lblCopyright, 105, 1470, 2115, 225);

    lblOstrelSoftware =
        makeLabel(m_client, "lblOstrelSoftware", 18, true, true, Qt::AlignRight | Qt::AlignVCenter);
    placeTwips(lblOstrelSoftware, 4410, 105, 3585, 540);
    lblOstrelAddress =
        makeLabel(m_client, "lblOstrelAddress", 8, false, false, Qt::AlignRight | Qt::AlignTop);
    placeTwips(lblOstrelAddress, 5670, 630, 2325, 435);

    const Placement contactPlacements[] = {{4935, 1200, 3060, 330}, {4935, 1470, 3060, 330}};
    for (int index : {ContactEmail, ContactWebPage}) {
        QLabel *label = makeLabel(m_client, index == ContactEmail ? "lblOstrelContact1" : "lblOstrelContact2",
                                  9, false, false, Qt::AlignRight | Qt::AlignVCenter, LinkInk);
        QFont font = label->font();
        font.setUnderline(true);
        label->setFont(font);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        const Placement &p = contactPlacements[index - 1];
        placeTwips(label, p.left, p.top, p.width, p.height);
        m_contacts[index] = label;
    }

    for (int index = 0; index < AniGifCount; ++index) {
        auto *picture = new Animation(index, m_client);
        const Placement &p = AniGifPlacements[index];
        placeTwips(picture, p.left, p.top, p.width, p.height);
        m_aniGifs[size_t(index)] = picture;
    }
    // The big animation lies over the row's last small one by a few pixels; the row stays on top.
    m_aniGifs[0]->lower();

    cmdContinue = new OstrelButton(m_client);
    cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    placeTwips(cmdContinue, 5985, 2625, 2010, 645);
    ApplyButtonDefinitions(this, ButtonDefinitionsPath);
    connect(cmdContinue, &OstrelButton::Click, this, &frmTitlePage::cmdContinue_Click);
    setDefaultButton(cmdContinue, [this] { cmdContinue->AccessKeyPress(); });
    setCancelButton(cmdContinue, [this] { cmdContinue->AccessKeyPress(); });
    cmdContinue->setDefaultLook(true);
    cmdContinue->setFocus();
}

QLabel *frmTitlePage::lblOstrelContact(int index) const
{
    return index == ContactEmail || index == ContactWebPage ? m_contacts[size_t(index)] : nullptr;
}

QLabel *frmTitlePage::AniGif(int index) const
{
    return index >= 0 && index < AniGifCount ? m_aniGifs[size_t(index)] : nullptr;
}

void frmTitlePage::Form_Load()
{
    setSizeTwips(8200, 3465);
    const int border = FrameWidthPixels;
    m_client->setGeometry(border, border, width() - 2 * border, height() - 2 * border);
    modStandard::TileBackground(QPixmap(BackgroundPicture), m_client);
    centerOnScreen();
    for (QLabel *picture : m_aniGifs)
        picture->movie()->start();
}

void frmTitlePage::Form_Activate()
{
    lblAppDescription->setText(FileDescription);
    lblVersion->setText(versionLabelText(VersionMajor, VersionMinor, VersionRevision));
    lblCopyright->setText(copyrightLabelText(LegalNotice));
    lblOstrelSoftware->setText(MakerName);
    lblOstrelAddress->setText(makerAddress().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_contacts[ContactEmail]->setToolTip(emailTooltip(MakerName));
    m_contacts[ContactEmail]->setText(MakerEmail);
    m_contacts[ContactWebPage]->setToolTip(webTooltip(MakerName));
    m_contacts[ContactWebPage]->setText(MakerWebAddress);
    cmdContinue->setCaption(QStringLiteral("&Continue"));
    cmdContinue->Refresh();
}

bool frmTitlePage::eventFilter(QObject *watched, QEvent *event)
{
    // The contact labels act as links: a left click (press and release over the label) opens them.
    for (int index : {ContactEmail, ContactWebPage}) {
        if (watched != m_contacts[size_t(index)] || event->type() != QEvent::MouseButtonRelease)
            continue;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_contacts[size_t(index)]->rect().contains(mouse->position().toPoint())) {
            lblOstrelContact_Click(index);
            return true;
        }
    }
    return Form::eventFilter(watched, event);
}

void frmTitlePage::lblOstrelContact_Click(int index)
{
    modStandard::OpenLink(index, this, QString());
}

void frmTitlePage::cmdContinue_Click()
{
    // Enter, Esc and the mouse all lead here; once on the way to the lobby, further presses wait.
    if (m_continuing)
        return;
    m_continuing = true;
    QPointer<frmTitlePage> self(this);
    if (basBrivamo::newUserNoticeWanted())
        form<frmNewUser>().ShowModal();
    if (!self || !isLoaded())
        return;
    modFadeInOut::FadeActive = modFadeInOut::PrepareFade(this, 255, false);
    if (modFadeInOut::FadeActive)
        StartFade(255, 0, 10, true);
    else
        handOverToLobby();
}

void frmTitlePage::FadeCompleted()
{
    handOverToLobby();
}

void frmTitlePage::handOverToLobby()
{
    Unload();
    form<frmLobby>().Show();
}

void frmTitlePage::paintEvent(QPaintEvent *)
{
    // The border around the client area: a dark outer line and a light bevel inside it.
    QPainter painter(this);
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    painter.setPen(QColor(40, 56, 110));
    painter.drawRect(outer);
    painter.setPen(QColor(236, 242, 255));
    painter.drawRect(outer.adjusted(1, 1, -1, -1));
    painter.setPen(QColor(150, 170, 214));
    painter.drawRect(outer.adjusted(2, 2, -2, -2));
}

} // namespace brivamo
