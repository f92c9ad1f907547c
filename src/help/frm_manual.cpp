#include "help/frm_manual.h"

#include "base/app_info.h"
#include "base/maker_info.h"
#include "base/window_routines.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "help/help_texts.h"
#include "help/print_text_window.h"
#include "platform/dialogs.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>

namespace brivamo {

namespace {

const QString ButtonDefinitionsPath = QStringLiteral(":/buttons/frmManual.txt");

QColor fromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// &H00C0FFC0: the pale green of the topic label's text and of the text box.
const QColor PaleGreen = fromBgr(0x00C0FFC0);
// &H00004000: the dark green behind the topic label.
const QColor DarkGreen = fromBgr(0x00004000);

OstrelButton *makeButton(QWidget *parent, const char *name, int left, int top, int width, int height)
{
    auto *button = new OstrelButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    Form::placeTwips(button, left, top, width, height);
    return button;
}

} // namespace

void showHelpModal(int topicIndex)
{
    HelpTopicIndex = qint16(topicIndex);
    form<frmManual>().ShowModal();
}

frmManual::frmManual()
{
    setObjectName(QStringLiteral("frmManual"));
    setWindowTitle(QStringLiteral(" Help Window"));

    m_cmdHelpTopic = makeButton(this, "cmdHelpTopic", 210, 105, 1905, 645);
    m_cmdPrintHelp = makeButton(this, "cmdPrintHelp", 2415, 105, 1905, 645);
    m_cmdReturn = makeButton(this, "cmdReturn", 4620, 105, 1590, 645);
    ApplyButtonDefinitions(this, ButtonDefinitionsPath);

    m_labelHelpTopic = new QLabel(this);
    m_labelHelpTopic->setObjectName(QStringLiteral("labelHelpTopic"));
    placeTwips(m_labelHelpTopic, 210, 840, 6000, 330);
    m_labelHelpTopic->setAutoFillBackground(true);
    QPalette labelPalette = m_labelHelpTopic->palette();
    labelPalette.setColor(QPalette::Window, DarkGreen);
    labelPalette.setColor(QPalette::WindowText, PaleGreen);
    m_labelHelpTopic->setPalette(labelPalette);
    QFont labelFont = m_labelHelpTopic->font();
    labelFont.setBold(true);
    m_labelHelpTopic->setFont(labelFont);
    m_labelHelpTopic->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_labelHelpTopic->setIndent(twipsToPixels(90));
    m_labelHelpTopic->setTextFormat(Qt::PlainText);

    m_txtManual = new QPlainTextEdit(this);
    m_txtManual->setObjectName(QStringLiteral("txtManual"));
    placeTwips(m_txtManual, 210, 1155, 6000, 4845);
    // A help text is read, not edited; it can still be selected and copied.
    m_txtManual->setReadOnly(true);
    m_txtManual->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_txtManual->setFont(QFont(QStringLiteral("Arial"), 9));
    QPalette textPalette = m_txtManual->palette();
    textPalette.setColor(QPalette::Base, PaleGreen);
    textPalette.setColor(QPalette::Text, Qt::black);
    m_txtManual->setPalette(textPalette);

    m_menuHelpMenu = new QMenu(QStringLiteral("Help Topics"), this);
    m_menuHelpMenu->setObjectName(QStringLiteral("menuHelpMenu"));
    for (const HelpMenuItem &item : helpMenuItems()) {
        // A separator is drawn as a line only; its "-" caption would show beside it.
        auto *action = new QAction(item.isSeparator() ? QString() : item.caption, m_menuHelpMenu);
        action->setObjectName(QStringLiteral("menuHelpTopic%1").arg(item.index));
        action->setData(item.number);
        action->setSeparator(item.isSeparator());
        const int index = item.index;
        connect(action, &QAction::triggered, this, [this, index] { menuHelpTopic_Click(index); });
        m_menuHelpMenu->addAction(action);
        m_menuHelpTopic.append(action);
    }

    connect(m_cmdHelpTopic, &OstrelButton::Click, this, &frmManual::cmdHelpTopic_Click);
    connect(m_cmdPrintHelp, &OstrelButton::Click, this, &frmManual::cmdPrintHelp_Click);
    connect(m_cmdReturn, &OstrelButton::Click, this, &frmManual::cmdReturn_Click);
    setDefaultButton(m_cmdHelpTopic, [this] { m_cmdHelpTopic->AccessKeyPress(); });
    m_cmdHelpTopic->setDefaultLook(true);
    setCancelButton(m_cmdReturn, [this] { m_cmdReturn->AccessKeyPress(); });
}

QAction *frmManual::menuHelpTopic(int index) const
{
    return index >= 1 && index <= m_menuHelpTopic.size() ? m_menuHelpTopic[index - 1] : nullptr;
}

void frmManual::Form_Load()
{
    modFadeInOut::FadeActive = modFadeInOut::PrepareFade(this, 0, false);
    setSizeTwips(6540, 6660);
    centerOnScreen();
    m_img = QPixmap(QStringLiteral(":/pictures/help_tile.jpg"));
    modStandard::TileBackground(m_img, this);
}

void frmManual::Form_Activate()
{
    m_cmdPrintHelp->setCaption(QStringLiteral("&Print"));
    m_cmdPrintHelp->setToolTip(QStringLiteral(" Be sure your printer is ready! "));
    m_cmdHelpTopic->setCaption(QStringLiteral("Help Topics\r\n<F1>"));
    m_cmdReturn->setCaption(QStringLiteral("&Return\r\n<Esc>"));

    m_aboutText =
        composeAboutText(AppTitle, VersionMajor, VersionMinor, VersionRevision, FileDescription, LegalNotice);
    menuHelpTopic_Click(HelpTopicIndex);
    if (modFadeInOut::FadeActive)
        StartFade(0, 255, 20, false);
}

void frmManual::menuHelpTopic_Click(int index)
{
    switch (m_topics.actionFor(index)) {
    case HelpAction::EmailMaker:
        modStandard::OpenLink(modStandard::LinkEmail, this, QString());
        break;
    case HelpAction::VisitWebPage:
        modStandard::OpenLink(modStandard::LinkWebPage, this, QString());
        break;
    case HelpAction::AboutBox:
        dialogs().MsgBox(m_aboutText, MsgButtons::OkOnly, MsgIcon::Information, helpMenuItem(index)->caption);
        break;
    case HelpAction::ShowTopic:
        m_topics.choose(index);
        showCurrentTopic();
        break;
    case HelpAction::Nothing:
        break;
    }
    // Choosing a checkable item toggles its check mark by itself: put the marks right again.
    syncCheckMarks();
}

void frmManual::syncCheckMarks()
{
    for (int i = 1; i <= m_menuHelpTopic.size(); ++i) {
        QAction *action = m_menuHelpTopic[i - 1];
        // Only the shown topic is checkable, so the other items show no empty check box.
        const bool checked = m_topics.isChecked(i);
        action->setCheckable(checked);
        action->setChecked(checked);
    }
}

void frmManual::showCurrentTopic()
{
    m_labelHelpTopic->setText(m_topics.topicCaption());
    m_txtManual->setPlainText(toDisplayLineBreaks(helpText(m_topics.topicTextId())));
}

void frmManual::cmdHelpTopic_Click()
{
    const QPoint corner =
        m_cmdHelpTopic->pos() + QPoint(twipsToPixels(MenuOffsetXTwips), twipsToPixels(MenuOffsetYTwips));
    m_menuHelpMenu->popup(mapToGlobal(corner));
}

bool frmManual::Form_KeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_F1) {
        cmdHelpTopic_Click();
        return true;
    }
    return false;
}

void frmManual::cmdPrintHelp_Click()
{
    PrinterFont font;
    font.name = QStringLiteral("Arial");
    font.size = 10;
    font.bold = false;
    font.italic = false;
    if (QString failure; !modStandard::PrintText(this, m_txtManual->toPlainText(), m_topics.printHeading(),
                                                 true, false, font, &failure))
        dialogs().MsgBox(failure, MsgButtons::OkOnly, MsgIcon::Critical, modStandard::PrintFailedCaption);
}

void frmManual::cmdReturn_Click()
{
    if (modFadeInOut::FadeActive)
        StartFade(255, 0, 20, true);
    else
        Unload();
}

} // namespace brivamo
