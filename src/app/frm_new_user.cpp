#include "app/frm_new_user.h"

#include "app/frm_title_page_texts.h"
#include "base/app_icon.h"
#include "base/app_info.h"
#include "base/settings.h"
#include "base/window_routines.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "help/help_texts.h"
#include "platform/dialogs.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>

namespace brivamo {

namespace {

const QString ButtonDefinitionsPath = QStringLiteral(":/buttons/frmNewUser.txt");
const QString BackgroundPicture = QStringLiteral(":/pictures/notice_tile.gif");
// &H00FFC0C0: the frame behind the check box, and the check box's own background.
const QColor FrameColour(0xC0, 0xC0, 0xFF);

} // namespace

frmNewUser::frmNewUser()
{
    setObjectName(QStringLiteral("frmNewUser"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(AppIcon());
    createControls();
}

frmNewUser::~frmNewUser() = default;

void frmNewUser::createControls()
{
    lbl = new QLabel(this);
    lbl->setObjectName(QStringLiteral("lbl"));
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    lbl->setFont(font);
    lbl->setTextFormat(Qt::PlainText);
    lbl->setWordWrap(true);
    lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(lbl, 105, 105, 5685, 4320);

    auto *shape = new QFrame(this);
    Shape1 = shape;
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAutoFillBackground(true);
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    shape->setLineWidth(1);
    QPalette framePalette = Shape1->palette();
    framePalette.setColor(QPalette::Window, FrameColour);
    framePalette.setColor(QPalette::WindowText, FrameColour.darker(150));
    Shape1->setPalette(framePalette);
    placeTwips(Shape1, 210, 4575, 2745, 540);

    check = new QCheckBox(QStringLiteral("Don't show this notice again"), this);
    check->setObjectName(QStringLiteral("check"));
    check->setFont(QFont(QStringLiteral("Arial"), 8));
    check->setBackgroundRole(QPalette::Window);
    check->setAutoFillBackground(true);
    QPalette checkPalette = check->palette();
    checkPalette.setColor(QPalette::Window, FrameColour);
    checkPalette.setColor(QPalette::WindowText, Qt::black);
    check->setPalette(checkPalette);
    check->setChecked(false);
    placeTwips(check, 420, 4725, 2430, 330);

    cmdContinue = new OstrelButton(this);
    cmdContinue->setObjectName(QStringLiteral("cmdContinue"));
    placeTwips(cmdContinue, 3990, 4620, 1695, 540);
    ApplyButtonDefinitions(this, ButtonDefinitionsPath);
    connect(cmdContinue, &OstrelButton::Click, this, &frmNewUser::cmdContinue_Click);
    setDefaultButton(cmdContinue, [this] { cmdContinue->AccessKeyPress(); });
    setCancelButton(cmdContinue, [this] { cmdContinue->AccessKeyPress(); });
    cmdContinue->setDefaultLook(true);

    setTabOrder(check, cmdContinue);
    cmdContinue->setFocus();
}

void frmNewUser::Form_Load()
{
    modFadeInOut::FadeActive = modFadeInOut::PrepareFade(this, 0, false);
    setSizeTwips(5985, 5715);
    setWindowTitle(AppTitle + QStringLiteral(" - New User Overview"));
    modStandard::TileBackground(BackgroundPicture, this);
    centerOnScreen();
}

void frmNewUser::Form_Activate()
{
    lbl->setText(toDisplayLineBreaks(welcomeText(AppTitle, helpText(HelpOverview))));
    cmdContinue->setCaption(QStringLiteral("&Continue"));
    cmdContinue->Refresh();
    if (modFadeInOut::FadeActive)
        StartFade(0, 255, 20, false);
}

void frmNewUser::cmdContinue_Click()
{
    if (m_continuing)
        return;
    m_continuing = true;
    if (check->isChecked())
        basBrivamo::writeNewUser(basBrivamo::NewUserNoShow);
    if (modFadeInOut::FadeActive)
        StartFade(255, 0, 20, true);
    else
        Unload();
}

} // namespace brivamo
