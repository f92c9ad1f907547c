#include "lobby/frm_lobby.h"

#include "base/app_icon.h"
#include "base/app_info.h"
#include "base/settings.h"
#include "base/window_look.h"
#include "base/window_routines.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "help/frm_manual.h"
#include "lobby/email_friend.h"
#include "lobby/lobby_texts.h"
#include "platform/dialogs.h"
#include "puzzle/frm_puzzle.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>

namespace brivamo {

namespace {

const QString ButtonDefinitionsPath = QStringLiteral(":/buttons/frmLobby.txt");
const QString FadeOnPicture = QStringLiteral(":/pictures/fade_on.png");
const QString FadeOffPicture = QStringLiteral(":/pictures/fade_off.png");

frmLobby::HelpOpener &helpOpener()
{
    static frmLobby::HelpOpener opener = [](int topic) { showHelpModal(topic); };
    return opener;
}

// The caption above a list: Arial 9 bold italic in dark blue.
QLabel *makeLabel(QWidget *parent, const char *name)
{
    return WindowLook::MakeLabel(parent, name, WindowLook::Arial(9, true, true), WindowLook::DarkBlue);
}

QListWidget *makeList(QWidget *parent, const char *name, bool bold, QRgb background)
{
    auto *list = WindowLook::MakeList(parent, name, WindowLook::SansSerif(8.25, bold), background);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setUniformItemSizes(true);
    return list;
}

} // namespace

frmLobby::frmLobby()
{
    setObjectName(QStringLiteral("frmLobby"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(AppIcon());
    createControls();
}

frmLobby::~frmLobby() = default;

void frmLobby::setHelpOpener(HelpOpener opener)
{
    helpOpener() = std::move(opener);
}

void frmLobby::createControls()
{
    picBox = new QWidget(this);
    picBox->setObjectName(QStringLiteral("picBox"));
    placeTwips(picBox, 105, 105, 9255, 855);

    auto button = [](QWidget *parent, const char *name, int left, int top, int width, int height) {
        auto *b = new OstrelButton(parent);
        b->setObjectName(QLatin1String(name));
        placeTwips(b, left, top, width, height);
        return b;
    };
    cmdHelp = button(picBox, "cmdHelp", 105, 105, 645, 585);
    cmdFadeStatus = button(picBox, "cmdFadeStatus", 1680, 105, 645, 585);
    cmdEmailFriend = button(picBox, "cmdEmailFriend", 2625, 105, 645, 585);
    cmdQuit = button(picBox, "cmdQuit", 8400, 105, 645, 585);

    cmdAddCategory = button(this, "cmdAddCategory", 105, 1365, 2640, 735);
    cmdNewAdd = button(this, "cmdNewAdd", 105, 3675, 2640, 690);
    cmdNewSave = button(this, "cmdNewSave", 105, 4620, 2640, 690);
    cmdNewCancel = button(this, "cmdNewCancel", 105, 5565, 2640, 690);

    labelCategory = makeLabel(this, "labelCategory");
    labelCategory->move(twipsToPixels(2835), twipsToPixels(1155));
    listCategories = makeList(this, "listCategories", true, WindowLook::LightYellow);
    placeTwips(listCategories, 2835, 1365, 1590, 4005);
    listCategories->setAccessibleName(QStringLiteral("Categories"));
    cmdDeleteCategory = button(this, "cmdDeleteCategory", 2835, 5460, 1590, 840);

    labelWords = makeLabel(this, "labelWords");
    labelWords->move(twipsToPixels(4515), twipsToPixels(1155));
    listWords = makeList(this, "listWords", false, WindowLook::Yellow);
    placeTwips(listWords, 4515, 1365, 2640, 4950);
    listWords->setAccessibleName(QStringLiteral("Words"));

    cmdMakePuzzle = button(this, "cmdMakePuzzle", 7245, 1365, 2115, 945);
    cmdAddWord = button(this, "cmdAddWord", 7245, 4830, 2115, 435);
    cmdEditWord = button(this, "cmdEditWord", 7245, 5355, 2115, 435);
    cmdDeleteWord = button(this, "cmdDeleteWord", 7245, 5880, 2115, 435);

    ApplyButtonDefinitions(this, ButtonDefinitionsPath);
    for (OstrelButton *hidden : {cmdNewAdd, cmdNewSave, cmdNewCancel, cmdAddWord, cmdEditWord, cmdDeleteWord})
        hidden->hide();

    const QList<QWidget *> tabOrder = {cmdHelp,        cmdMakePuzzle, cmdAddCategory, cmdNewAdd,
                                       cmdNewSave,     cmdNewCancel,  listCategories, cmdDeleteCategory,
                                       listWords,      cmdAddWord,    cmdEditWord,    cmdDeleteWord,
                                       cmdEmailFriend, cmdFadeStatus, cmdQuit};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    setCancelButton(cmdQuit, [this] { cmdQuit->click(); });

    connect(cmdHelp, &OstrelButton::Click, this, &frmLobby::cmdHelp_Click);
    connect(cmdFadeStatus, &OstrelButton::Click, this, &frmLobby::cmdFadeStatus_Click);
    connect(cmdFadeStatus, &OstrelButton::MouseMove, this,
            [this](qint16 &, qint16 &, float &, float &) { cmdFadeStatus_MouseMove(); });
    connect(cmdEmailFriend, &OstrelButton::Click, this, &frmLobby::cmdEmailFriend_Click);
    connect(cmdQuit, &OstrelButton::Click, this, &frmLobby::cmdQuit_Click);
    connect(cmdAddCategory, &OstrelButton::Click, this, &frmLobby::cmdAddCategory_Click);
    connect(cmdNewAdd, &OstrelButton::Click, this, &frmLobby::cmdNewAdd_Click);
    connect(cmdNewSave, &OstrelButton::Click, this, &frmLobby::cmdNewSave_Click);
    connect(cmdNewCancel, &OstrelButton::Click, this, &frmLobby::cmdNewCancel_Click);
    connect(cmdDeleteCategory, &OstrelButton::Click, this, &frmLobby::cmdDeleteCategory_Click);
    connect(cmdMakePuzzle, &OstrelButton::Click, this, &frmLobby::cmdMakePuzzle_Click);
    connect(cmdAddWord, &OstrelButton::Click, this, &frmLobby::cmdAddWord_Click);
    connect(cmdEditWord, &OstrelButton::Click, this, &frmLobby::cmdEditWord_Click);
    connect(cmdDeleteWord, &OstrelButton::Click, this, &frmLobby::cmdDeleteWord_Click);

    connect(listCategories, &QListWidget::currentRowChanged, this, [this] {
        if (!m_showing)
            listCategories_click();
    });
    connect(listCategories, &QListWidget::itemDoubleClicked, this, [this] { listCategories_DblClick(); });
    connect(listWords, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_showing)
            m_model.selectWord(row);
    });
}

// --- loading and activation ------------------------------------------------------------------------

void frmLobby::Form_Load()
{
    // Forced: the setting is not asked; the answer says whether this system can fade at all.
    modFadeInOut::FadeActive = modFadeInOut::PrepareFade(this, 0, true);
    if (!modFadeInOut::FadeActive) {
        basBrivamo::writeBoolSetting(basBrivamo::KeyFadeStatus, false);
        // A switch for an effect this system cannot show would only mislead.
        cmdFadeStatus->hide();
    } else {
        cmdFadeStatus->show();
        if (!basBrivamo::readFadeStatus()) {
            modFadeInOut::PrepareFade(this, 255, true);
            modFadeInOut::FadeActive = false;
        }
    }
    showFadePicture();

    setSizeTwips(9555, 7140);
    setWindowTitle(AppTitle);
    modStandard::TileBackground(QStringLiteral(":/pictures/lobby_strip_tile.png"), picBox);
    modStandard::TileBackground(QStringLiteral(":/pictures/lobby_tile.png"), this);

    centerOnScreen();
}

void frmLobby::Form_Activate()
{
    cmdHelp->setToolTip(QStringLiteral(" Need a little information? "));
    cmdHelp->Refresh();
    if (cmdFadeStatus->isVisibleTo(this))
        cmdFadeStatus->Refresh();
    cmdEmailFriend->setToolTip(QStringLiteral(" Email a friend about this game! "));
    cmdEmailFriend->Refresh();
    cmdQuit->setToolTip(QStringLiteral(" Close ") + AppTitle + QStringLiteral(" <Esc> "));
    cmdQuit->Refresh();

    const QList<std::pair<OstrelButton *, QString>> captions = {
        {cmdAddCategory, QStringLiteral("Create your own\r\n&Word List!")},
        {cmdNewAdd, QStringLiteral("&Add a Word to the\r\nnew Word List")},
        {cmdNewSave, QStringLiteral("&Save this\r\nnew Word List")},
        {cmdNewCancel, QStringLiteral("&Cancel this\r\nnew Word List")},
        {cmdDeleteCategory, QStringLiteral("Delete\r\nthis\r\nCategory")},
        {cmdMakePuzzle, QStringLiteral("Make a\r\n") + AppTitle + QStringLiteral("\r\n&Puzzle!")},
        {cmdAddWord, QStringLiteral("         &Add a Word")},
        {cmdEditWord, QStringLiteral("      &Edit this Word")},
        {cmdDeleteWord, QStringLiteral("Delete this Word  ")},
    };
    for (const auto &[button, caption] : captions) {
        button->setCaption(caption);
        button->Refresh();
    }

    m_model.setMode(true);
    m_model.ShowLobbyMode();
    showModel();

    if (modFadeInOut::FadeActive)
        StartFade(0, 255, 20, false);
    // A list that could not be read is reported over the lobby, not on an empty screen.
    if (m_model.hasMessages()) {
        if (modFadeInOut::FadeActive)
            WaitForFade();
        if (isLoaded())
            m_model.showMessages();
    }
}

// --- showing the model -----------------------------------------------------------------------------

void frmLobby::run(void (LobbyModel::*step)())
{
    (m_model.*step)();
    showModel();
    // The new state is on show before a failure is reported.
    m_model.showMessages();
}

void frmLobby::fillList(QListWidget *list, const QStringList &entries, int current)
{
    list->clear();
    list->addItems(entries);
    list->setCurrentRow(current);
}

void frmLobby::showModel()
{
    m_showing = true;
    const LobbyControls &c = m_model.controls();

    labelCategory->setText(m_model.labelCategory());
    labelCategory->adjustSize();
    fillList(listCategories, m_model.categories(), m_model.currentCategory());
    listCategories->setVisible(c.categoriesShown);
    listCategories->setEnabled(c.categoriesEnabled);
    labelWords->setText(m_model.labelWords());
    labelWords->adjustSize();
    fillList(listWords, m_model.words(), m_model.currentWord());

    cmdAddCategory->setVisible(c.addCategoryShown);
    cmdNewAdd->setVisible(c.newAddShown);
    cmdNewAdd->setEnabled(c.newAddEnabled);
    cmdNewSave->setVisible(c.newSaveShown);
    cmdNewSave->setEnabled(c.newSaveEnabled);
    cmdNewCancel->setVisible(c.newCancelShown);
    cmdNewCancel->setEnabled(c.newCancelEnabled);
    cmdDeleteCategory->setVisible(c.deleteCategoryShown);
    cmdAddWord->setVisible(c.addWordShown);
    cmdEditWord->setVisible(c.editWordShown);
    cmdDeleteWord->setVisible(c.deleteWordShown);
    cmdMakePuzzle->setVisible(c.makePuzzleShown);

    switch (c.defaultButton) {
    case LobbyDefault::MakePuzzle:
        setDefaultRole(cmdMakePuzzle);
        break;
    case LobbyDefault::NewAdd:
        setDefaultRole(cmdNewAdd);
        break;
    case LobbyDefault::NewSave:
        setDefaultRole(cmdNewSave);
        break;
    case LobbyDefault::None:
        setDefaultRole(nullptr);
        break;
    }

    switch (m_model.takeFocusRequest()) {
    case LobbyFocus::Categories:
        listCategories->setFocus();
        break;
    case LobbyFocus::NewAdd:
        cmdNewAdd->setFocus();
        break;
    case LobbyFocus::None:
        break;
    }
    m_showing = false;
}

void frmLobby::setDefaultRole(OstrelButton *button)
{
    for (OstrelButton *other : {cmdMakePuzzle, cmdNewAdd, cmdNewSave})
        if (other != button)
            other->setDefaultLook(false);
    if (!button) {
        setDefaultButton(nullptr);
        return;
    }
    button->setDefaultLook(true);
    setDefaultButton(button, [button] { button->click(); });
}

void frmLobby::showFadePicture()
{
    cmdFadeStatus->setPictureNormal(
        ButtonPicture::fromReference(modFadeInOut::FadeActive ? FadeOnPicture : FadeOffPicture));
    // The picture alone says nothing to a screen reader; it hears what the tip would say.
    cmdFadeStatus->setAccessibleName(fadeTip().trimmed());
}

// --- browsing --------------------------------------------------------------------------------------

void frmLobby::ShowLobbyMode()
{
    run(&LobbyModel::ShowLobbyMode);
}

void frmLobby::LoadCategories()
{
    run(&LobbyModel::LoadCategories);
}

void frmLobby::LoadWords()
{
    run(&LobbyModel::LoadWords);
}

void frmLobby::listCategories_click()
{
    m_model.listCategories_click(listCategories->currentRow());
    showModel();
    m_model.showMessages();
}

void frmLobby::listCategories_DblClick()
{
    // Help promises that double-clicking a list makes a puzzle of it.
    if (m_model.browsing() && cmdMakePuzzle->isVisibleTo(this) && cmdMakePuzzle->Enabled())
        cmdMakePuzzle_Click();
}

void frmLobby::cmdMakePuzzle_Click()
{
    if (m_model.words().isEmpty())
        return;
    if (modFadeInOut::FadeActive) {
        StartFade(255, 0, 20, false);
        WaitForFade();
        frmPuzzle &puzzle = form<frmPuzzle>();
        puzzle.setSource(selectedCategory(), displayedWords());
        puzzle.ShowModal();
        if (isLoaded())
            StartFade(0, 255, 20, false);
        return;
    }
    Hide();
    frmPuzzle &puzzle = form<frmPuzzle>();
    puzzle.setSource(selectedCategory(), displayedWords());
    // Leaving the puzzle window unloads it; the lobby then takes over again as the user left it.
    connect(
        &puzzle, &Form::unloaded, this,
        [this] {
            if (isLoaded())
                Show();
        },
        Qt::SingleShotConnection);
    puzzle.Show();
}

bool frmLobby::Form_KeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_F1) {
        cmdHelp_Click();
        return true;
    }
    return false;
}

void frmLobby::cmdHelp_Click()
{
    if (modFadeInOut::FadeActive)
        StartFade(255, 204, 2, false);
    if (helpOpener())
        helpOpener()(HelpTopic);
    if (modFadeInOut::FadeActive)
        StartFade(204, 255, 3, false);
}

void frmLobby::cmdQuit_Click()
{
    if (modFadeInOut::FadeActive) {
        StartFade(255, 204, 2, false);
        WaitForFade();
    }
    const MsgAnswer answer = dialogs().MsgBox(lobbytext::QuitQuestion, MsgButtons::YesNo, MsgIcon::Question,
                                              lobbytext::QuitCaption, 1);
    if (answer == MsgAnswer::Yes) {
        // Every list file is closed as soon as it has been read or written: nothing is left open.
        if (modFadeInOut::FadeActive)
            StartFade(204, 0, 20, true);
        else
            endProgram();
    } else if (modFadeInOut::FadeActive) {
        StartFade(204, 255, 3, false);
    }
}

void frmLobby::FadeCompleted()
{
    endProgram();
}

bool frmLobby::Form_QueryUnload(UnloadMode mode)
{
    if (mode != UnloadMode::ControlMenu)
        return false;
    cmdQuit_Click();
    return true;
}

QString frmLobby::fadeTip()
{
    return (modFadeInOut::FadeActive ? QStringLiteral(" Disable") : QStringLiteral(" Enable")) +
           QStringLiteral(" form fade effects ");
}

void frmLobby::cmdFadeStatus_MouseMove()
{
    cmdFadeStatus->setToolTip(fadeTip());
}

void frmLobby::cmdFadeStatus_Click()
{
    modFadeInOut::FadeActive = !modFadeInOut::FadeActive;
    basBrivamo::writeBoolSetting(basBrivamo::KeyFadeStatus, modFadeInOut::FadeActive);
    showFadePicture();
    cmdFadeStatus_MouseMove();
}

void frmLobby::cmdEmailFriend_Click()
{
    modStandard::OpenLink(modStandard::LinkEmail, this, EmailFriendText());
}

// --- editing ---------------------------------------------------------------------------------------

void frmLobby::cmdAddCategory_Click()
{
    // The cleared lobby is on show before the first word is asked for.
    m_model.setMode(false);
    ShowLobbyMode();
    cmdNewAdd_Click();
}

void frmLobby::cmdNewAdd_Click()
{
    run(&LobbyModel::cmdNewAdd_Click);
}

void frmLobby::cmdNewSave_Click()
{
    run(&LobbyModel::cmdNewSave_Click);
}

void frmLobby::cmdNewCancel_Click()
{
    run(&LobbyModel::cmdNewCancel_Click);
}

void frmLobby::cmdDeleteCategory_Click()
{
    run(&LobbyModel::cmdDeleteCategory_Click);
}

void frmLobby::cmdAddWord_Click()
{
    run(&LobbyModel::cmdAddWord_Click);
}

void frmLobby::cmdEditWord_Click()
{
    run(&LobbyModel::cmdEditWord_Click);
}

void frmLobby::cmdDeleteWord_Click()
{
    run(&LobbyModel::cmdDeleteWord_Click);
}

} // namespace brivamo
