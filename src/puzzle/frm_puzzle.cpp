#include "puzzle/frm_puzzle.h"

#include "base/app_info.h"
#include "base/settings.h"
#include "base/window_look.h"
#include "base/window_routines.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "effects/sounds.h"
#include "generator/hidden_message.h"
#include "generator/puzzle_words.h"
#include "help/frm_manual.h"
#include "help/help_topics.h"
#include "help/print_text_window.h"
#include "pages/puzzle_page.h"
#include "pages/puzzle_print_jobs.h"
#include "platform/dialogs.h"
#include "platform/printer_qt.h"
#include "puzzle/puzzle_board.h"
#include "wordlists/word_list.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>

namespace brivamo {

namespace {

// Texts of the window. Line breaks are CR LF as everywhere in the program.
const QString CrLf = QStringLiteral("\r\n");
const QString MakeCaption = QStringLiteral("&Make the") + CrLf + AppTitle + CrLf + QStringLiteral("Puzzle!");
const QString RedoCaption = QStringLiteral("Re-do the") + CrLf + QStringLiteral("Puzzle");
const QString CancelCaption =
    QStringLiteral("&Cancel") + CrLf + QStringLiteral("Making the") + CrLf + QStringLiteral("Puzzle");
const QString ViewSolutionCaption = QStringLiteral("&View the") + CrLf + QStringLiteral("Solution");
const QString ViewPuzzleCaption = QStringLiteral("&View the") + CrLf + QStringLiteral("Puzzle");
const QString PrintCaption = QStringLiteral("&Print the") + CrLf + QStringLiteral("Puzzle");

const QString HelpTip = QStringLiteral(" Help <F1> ");
const QString LobbyTip = QStringLiteral(" Return to the Lobby <Esc> ");
const QString PrintTip = QStringLiteral(" Be sure your printer is ready! ");
const QString DisableSoundTip = QStringLiteral(" Disable") + QStringLiteral(" sound effects ");
const QString EnableSoundTip = QStringLiteral(" Enable") + QStringLiteral(" sound effects ");

// The level button names the level it has chosen; its tip says what that means and what a click
// chooses next.
QString levelCaption(PuzzleLevel level)
{
    return QStringLiteral("&Level:") + CrLf + LevelSettingText(level);
}

QString levelTip(PuzzleLevel level)
{
    switch (level) {
    case PuzzleLevel::Easy:
        return QStringLiteral(" Easy: words read across and down. Click for Medium <Alt+L> ");
    case PuzzleLevel::Medium:
        return QStringLiteral(" Medium: words also read diagonally to the right. Click for Hard <Alt+L> ");
    case PuzzleLevel::Hard:
        break;
    }
    return QStringLiteral(" Hard: words read in all eight directions. Click for Easy <Alt+L> ");
}

// The hidden message button says whether the fill spells a message and how long it is; its tip
// shows the message itself.
QString hiddenMessageButtonCaption(qsizetype letters)
{
    return QStringLiteral("&Hidden Message:") + CrLf +
           (letters == 0 ? QStringLiteral("None") : QStringLiteral("%1 Letters").arg(letters));
}

QString hiddenMessageTip(const QString &message)
{
    if (message.isEmpty())
        return QStringLiteral(" No hidden message. Click to enter one <Alt+H> ");
    constexpr int LongestShown = 40;
    const QString plain = WithoutDirectionControls(message);
    const QString shown = FitLines(plain, LongestShown, LongestShown, 1, [](const QString &text) {
                              return double(text.size());
                          }).value(0);
    return QStringLiteral(" Hidden message: %1. Click to change or clear it <Alt+H> ").arg(shown);
}

const QString HiddenMessageCaption = QStringLiteral("Hidden Message");
const QString HiddenMessagePrompt = QStringLiteral("Type the message the leftover letters") + CrLf +
                                    QStringLiteral("spell, or leave the box empty for none:");
const QString ShorterMessageAdvice = QStringLiteral("Please enter a shorter message.");
const QString LargerSquareAdvice = QStringLiteral("Please choose a larger square or a shorter message.");

const QString OutlineKeyCheck = QStringLiteral("&Outline the words on the solution page");

const QString WhewCaption = QStringLiteral("Whew!");
const QString WhewText = QStringLiteral("This is a tough puzzle to make!") + CrLf + CrLf +
                         QStringLiteral("You can try again if you wish,") + CrLf +
                         QStringLiteral("or change the Square Size setting,") + CrLf +
                         QStringLiteral("or you can return to the lobby...");

const QString SolutionQuestion = QStringLiteral("Do you want to print a Solution Page also?");
const QString PersonalizeCaption = QStringLiteral("Personalize?");
const QString PersonalizeQuestion =
    QStringLiteral("Do you want to") + CrLf + QStringLiteral("personalize this printout?");
const QString DedicationCaption = QStringLiteral("Personalize this printout");
const QString DedicationPrompt =
    QStringLiteral("Okay-- Who are you printing") + CrLf + QStringLiteral("this scrambled quote for?");

const QString UnusableWordCaption = QStringLiteral("Cannot Make This Puzzle");
const QString UnusableWordAdvice = QStringLiteral("Please change the list in the lobby, then try again.");

constexpr int AcceptedWordPauseMilliseconds = 200;
constexpr int LargestSide = PuzzleGrid::MaxSide;

// Numbers in labels: plain digits, no leading zeros.
QString formatNumber(int value)
{
    return QString::number(value);
}

QString display(const QString &text)
{
    return toDisplayLineBreaks(text);
}

frmPuzzle::HelpOpener &helpOpener()
{
    // The help window by default; tests replace it to observe the suspended run.
    static frmPuzzle::HelpOpener opener = [](int topic) { showHelpModal(topic); };
    return opener;
}

// A centred label on one of the rounded panels.
QLabel *makePanelLabel(QWidget *parent, const char *name, const QFont &font, QRgb text)
{
    QLabel *label = WindowLook::MakeLabel(parent, name, font, text);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

} // namespace

// --- RoundedPanel ----------------------------------------------------------------------------------

RoundedPanel::RoundedPanel(QColor fill, QColor border, QWidget *parent)
    : QWidget(parent), m_fill(fill), m_border(border)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RoundedPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_border, 1));
    painter.setBrush(m_fill);
    const double radius = qMin(width(), height()) / 10.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

// --- frmPuzzle -------------------------------------------------------------------------------------

frmPuzzle::frmPuzzle()
{
    setObjectName(QStringLiteral("frmPuzzle"));
    createControls();
    m_pause = [](int milliseconds) { modStandard::Pause(milliseconds / 1000.0); };
}

frmPuzzle::~frmPuzzle() = default;

void frmPuzzle::setHelpOpener(HelpOpener opener)
{
    helpOpener() = std::move(opener);
}

void frmPuzzle::setSource(const QString &category, const QStringList &words)
{
    m_sourceCategory = category;
    m_sourceWords = words;
}

QString frmPuzzle::category() const
{
    return labelCategory->text();
}

void frmPuzzle::createControls()
{
    picBox = new QWidget(this);
    picBox->setObjectName(QStringLiteral("picBox"));
    placeTwips(picBox, 105, 105, 9255, 855);

    auto button = [this](const char *name, int left, int top, int width, int height) {
        auto *b = new OstrelButton(this);
        b->setObjectName(QLatin1String(name));
        placeTwips(b, left, top, width, height);
        return b;
    };
    cmdHelp = button("cmdHelp", 105, 75, 645, 630);
    cmdSoundStatus = button("cmdSoundStatus", 1575, 105, 645, 630);
    cmdLevel = button("cmdLevel", 3010, 105, 1905, 630);
    cmdHiddenMessage = button("cmdHiddenMessage", 5705, 105, 1905, 630);
    cmdLobby = button("cmdLobby", 8400, 75, 645, 630);

    labelCategory =
        WindowLook::MakeLabel(this, "labelCategory", WindowLook::SansSerif(9.75, true), WindowLook::Black);
    labelCategory->setAlignment(Qt::AlignCenter);
    labelCategory->setFrameStyle(QFrame::Box | QFrame::Plain);
    labelCategory->setLineWidth(1);
    labelCategory->setAutoFillBackground(true);
    {
        QPalette palette = labelCategory->palette();
        palette.setColor(QPalette::Window, WindowLook::LightYellow);
        labelCategory->setPalette(palette);
    }
    placeTwips(labelCategory, 105, 1155, 1695, 330);

    listWords = WindowLook::MakeList(this, "listWords", WindowLook::SansSerif(8.25), WindowLook::Yellow);
    listWords->setFocusPolicy(Qt::NoFocus);
    listWords->setSelectionMode(QAbstractItemView::NoSelection);
    placeTwips(listWords, 105, 1470, 1695, 5160);
    listWords->setAccessibleName(QStringLiteral("Words"));

    shp1 = new RoundedPanel(QColor(255, 192, 128), QColor(128, 64, 64), this);
    shp1->setObjectName(QStringLiteral("shp1"));
    placeTwips(shp1, 1890, 1155, 1905, 1380);

    labelSquareSize =
        makePanelLabel(this, "labelSquareSize", WindowLook::SansSerif(8.25, true), WindowLook::Navy);
    placeTwips(labelSquareSize, 1995, 1260, 1695, 435);

    scrollSquareSize = new QScrollBar(Qt::Horizontal, this);
    scrollSquareSize->setObjectName(QStringLiteral("scrollSquareSize"));
    scrollSquareSize->setRange(1, LargestSide);
    scrollSquareSize->setSingleStep(1);
    scrollSquareSize->setPageStep(5);
    scrollSquareSize->setValue(LargestSide);
    scrollSquareSize->setAccessibleName(QStringLiteral("Square size"));
    // Reachable with Tab and set with the arrows, Page Up/Down, Home and End, like the buttons.
    // Left, Down and Page Down make it smaller (a scroll bar's own keys run the other way).
    scrollSquareSize->setFocusPolicy(Qt::StrongFocus);
    scrollSquareSize->setInvertedControls(false);
    labelSquareSize->setBuddy(scrollSquareSize);
    placeTwips(scrollSquareSize, 1995, 1680, 1695, 330);

    labelMinMax = makePanelLabel(this, "labelMinMax", WindowLook::Arial(8.25), WindowLook::Navy);
    placeTwips(labelMinMax, 1995, 2040, 1695, 435);

    cmdMakePuzzle = button("cmdMakePuzzle", 1890, 2730, 1905, 840);
    cmdCancelPuzzle = button("cmdCancelPuzzle", 1890, 2730, 1905, 840);
    cmdViewSolution = button("cmdViewSolution", 1890, 3675, 1905, 735);
    cmdViewPuzzle = button("cmdViewPuzzle", 1890, 3675, 1905, 735);
    cmdPrintPuzzle = button("cmdPrintPuzzle", 1890, 4515, 1905, 735);
    cmdCancelPuzzle->hide();
    cmdViewSolution->hide();
    cmdViewPuzzle->hide();
    cmdPrintPuzzle->hide();

    shp2 = new RoundedPanel(QColor(192, 192, 255), QColor(WindowLook::Navy), this);
    shp2->setObjectName(QStringLiteral("shp2"));
    placeTwips(shp2, 1890, 5460, 1905, 1170);
    labelAttempts =
        makePanelLabel(this, "labelAttempts", WindowLook::SansSerif(8.25, true), WindowLook::Black);
    placeTwips(labelAttempts, 1995, 5565, 1695, 435);
    labelWordsPlaced =
        makePanelLabel(this, "labelWordsPlaced", WindowLook::SansSerif(8.25, true), WindowLook::Black);
    placeTwips(labelWordsPlaced, 1995, 6090, 1695, 435);

    picPuzzle = new PuzzleBoard(this);
    picPuzzle->setObjectName(QStringLiteral("picPuzzle"));
    placeTwips(picPuzzle, 3885, 1155, 5475, 5475);

    // The buttons' looks (styles, colours, pictures, first captions) are stored with the window.
    ApplyButtonDefinitions(this, QStringLiteral(":/buttons/frmPuzzle.txt"));

    // Tab follows the layout: the top row left to right, then the left column top to bottom.
    const QList<QWidget *> tabOrder = {cmdHelp,         cmdSoundStatus,   cmdLevel,      cmdHiddenMessage,
                                       cmdLobby,        scrollSquareSize, cmdMakePuzzle, cmdCancelPuzzle,
                                       cmdViewSolution, cmdViewPuzzle,    cmdPrintPuzzle};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    connect(scrollSquareSize, &QScrollBar::valueChanged, this, &frmPuzzle::scrollSquareSize_Change);
    connect(cmdMakePuzzle, &OstrelButton::Click, this, &frmPuzzle::cmdMakePuzzle_Click);
    connect(cmdCancelPuzzle, &OstrelButton::Click, this, &frmPuzzle::cmdCancelPuzzle_Click);
    connect(cmdViewPuzzle, &OstrelButton::Click, this, &frmPuzzle::cmdViewPuzzle_Click);
    connect(cmdViewSolution, &OstrelButton::Click, this, &frmPuzzle::cmdViewsolution_Click);
    connect(cmdPrintPuzzle, &OstrelButton::Click, this, &frmPuzzle::cmdPrintPuzzle_Click);
    connect(cmdSoundStatus, &OstrelButton::Click, this, &frmPuzzle::cmdSoundStatus_Click);
    connect(cmdSoundStatus, &OstrelButton::MouseMove, this,
            [this](qint16 &, qint16 &, float &, float &) { cmdSoundStatus_MouseMove(); });
    connect(cmdLevel, &OstrelButton::Click, this, &frmPuzzle::cmdLevel_Click);
    connect(cmdHiddenMessage, &OstrelButton::Click, this, &frmPuzzle::cmdHiddenMessage_Click);
    connect(cmdHelp, &OstrelButton::Click, this, &frmPuzzle::cmdHelp_Click);
    connect(cmdLobby, &OstrelButton::Click, this, &frmPuzzle::cmdLobby_Click);
}

void frmPuzzle::Form_Load()
{
    modFadeInOut::FadeActive = modFadeInOut::PrepareFade(this, 0, false);
    setSizeTwips(9555, 7230);
    setWindowTitle(AppTitle);
    centerOnScreen();
    modStandard::TileBackground(QStringLiteral(":/pictures/puzzle_tile.png"), this);
    modStandard::TileBackground(QStringLiteral(":/pictures/puzzle_banner_tile.png"), picBox);
}

void frmPuzzle::Form_Activate()
{
    labelCategory->setText(m_sourceCategory);

    m_words = m_sourceWords;
    SortWordsLongestFirst(m_words);

    const int longest = m_words.isEmpty() ? 1 : int(m_words.first().size());
    scrollSquareSize->setMinimum(qBound(1, longest, LargestSide));
    scrollSquareSize->setValue(scrollSquareSize->maximum());
    scrollSquareSize_Change();
    labelMinMax->setText(display(QStringLiteral("Minimum is ") + formatNumber(scrollSquareSize->minimum()) +
                                 CrLf + QStringLiteral("Maximum is ") +
                                 formatNumber(scrollSquareSize->maximum())));
    m_initialized = true;

    cmdHelp->setToolTip(HelpTip);
    cmdLobby->setToolTip(LobbyTip);
    cmdCancelPuzzle->setCaption(CancelCaption);
    cmdCancelPuzzle->Refresh();
    cmdViewSolution->setCaption(ViewSolutionCaption);
    cmdViewSolution->Refresh();
    cmdViewPuzzle->setCaption(ViewPuzzleCaption);
    cmdViewPuzzle->Refresh();
    cmdPrintPuzzle->setCaption(PrintCaption);
    cmdPrintPuzzle->setToolTip(PrintTip);
    cmdPrintPuzzle->Refresh();
    cmdMakePuzzle->Refresh();
    m_level = LevelFromSetting(basBrivamo::ReadSetting(basBrivamo::SettingsApplication,
                                                       basBrivamo::SettingsSection, basBrivamo::KeyLevel))
                  .value_or(PuzzleLevel::Hard);
    showLevel();
    showHiddenMessage();

    ResetPuzzleWindow();

    modStandard::SoundOn = basBrivamo::readSoundStatus();
    showSoundPicture();

    if (fadingOn())
        StartFade(0, 255, 20, false);
}

void frmPuzzle::ResetPuzzleWindow()
{
    FillWordList();
    cmdHelp->setEnabled(true);
    cmdLobby->setEnabled(true);
    setCancelRole(cmdLobby);
    scrollSquareSize->setEnabled(true);
    cmdLevel->setEnabled(true);
    cmdHiddenMessage->setEnabled(true);

    cmdMakePuzzle->setCaption(MakeCaption);
    cmdMakePuzzle->show();
    // A setting being changed keeps the focus, so the next key changes it again.
    if (QWidget *focused = focusWidget();
        focused != scrollSquareSize && focused != cmdLevel && focused != cmdHiddenMessage)
        cmdMakePuzzle->setFocus();

    cmdViewPuzzle->hide();
    cmdViewSolution->hide();
    cmdPrintPuzzle->hide();

    shp2->hide();
    labelAttempts->clear();
    labelWordsPlaced->clear();

    m_grid.reset();
    m_state = State::Idle;
    picPuzzle->model().reset(m_side);
    DrawEmptyBoard();
}

void frmPuzzle::FillWordList()
{
    listWords->clear();
    listWords->addItems(m_words);
}

void frmPuzzle::DrawEmptyBoard()
{
    picPuzzle->model().drawEmptyBoard();
}

void frmPuzzle::DrawBoard(BoardLayer layer)
{
    if (m_grid)
        picPuzzle->model().drawBoard(*m_grid, layer);
    Yield();
}

void frmPuzzle::scrollSquareSize_Change()
{
    m_side = scrollSquareSize->value();
    labelSquareSize->setText(QStringLiteral("Current Square Size is ") + formatNumber(m_side));
    // The board shows letters only; a screen reader needs to hear which puzzle it is.
    picPuzzle->setAccessibleName(QStringLiteral("%1 puzzle, %2 by %2").arg(category()).arg(m_side));
    if (m_initialized)
        ResetPuzzleWindow();
}

// --- making a puzzle -------------------------------------------------------------------------------

void frmPuzzle::cmdMakePuzzle_Click()
{
    if (m_state == State::Running)
        return;
    // Checked in the list's own order, so the word named is the one the lobby shows first.
    if (const std::optional<UnusableWord> unusable = FindUnusableWord(m_sourceWords)) {
        dialogs().MsgBox(unusable->message() + CrLf + CrLf + UnusableWordAdvice, MsgButtons::OkOnly,
                         MsgIcon::Exclamation, UnusableWordCaption);
        return;
    }
    if (const QString problem = SquareFitProblem(m_words, m_side); !problem.isEmpty()) {
        dialogs().MsgBox(problem + CrLf + CrLf + UnusableWordAdvice, MsgButtons::OkOnly, MsgIcon::Exclamation,
                         UnusableWordCaption);
        return;
    }
    // The square may have shrunk since the message was entered.
    if (!hiddenMessage().isEmpty()) {
        if (const QString problem = HiddenMessageProblem(hiddenMessage(), m_words, m_side);
            !problem.isEmpty()) {
            dialogs().MsgBox(problem + CrLf + CrLf + LargerSquareAdvice, MsgButtons::OkOnly,
                             MsgIcon::Exclamation, UnusableWordCaption);
            return;
        }
    }

    if (fadingOn())
        fadeAndWait(255, 0, 20);

    m_state = State::Running;
    // The cancel button is on show first, so the focus leaving the controls below lands on it.
    setCancelRole(cmdCancelPuzzle);
    cmdCancelPuzzle->show();
    scrollSquareSize->setEnabled(false);
    cmdLevel->setEnabled(false);
    cmdHiddenMessage->setEnabled(false);
    cmdMakePuzzle->hide();
    cmdViewPuzzle->hide();
    cmdViewSolution->hide();
    cmdPrintPuzzle->hide();
    cmdHelp->setEnabled(false);
    cmdLobby->setEnabled(false);
    clearCancel();
    shp2->show();
    picPuzzle->model().reset(m_side);
    DrawEmptyBoard();

    if (fadingOn())
        fadeAndWait(0, 255, 20);

    m_grid = std::make_unique<PuzzleGrid>(m_side);
    modStandard::RandomSource &random = m_random ? *m_random : modStandard::ProgramRandomSource();
    const PuzzleOutcome outcome = MakePuzzle(*m_grid, m_words, m_side, *this, random, m_workspace, m_level);

    switch (outcome) {
    case PuzzleOutcome::Cancelled:
    case PuzzleOutcome::Refused:
        cmdCancelPuzzle->hide();
        ResetPuzzleWindow();
        break;
    case PuzzleOutcome::GivenUp:
        dialogs().MsgBox(WhewText, MsgButtons::OkOnly, MsgIcon::Exclamation, WhewCaption);
        ResetPuzzleWindow();
        cmdCancelPuzzle->hide();
        cmdLobby->setEnabled(true);
        setCancelRole(cmdLobby);
        cmdHelp->setEnabled(true);
        break;
    case PuzzleOutcome::Completed:
        m_state = State::Finished;
        cmdCancelPuzzle->hide();
        FillWordList();
        cmdMakePuzzle->setCaption(RedoCaption);
        cmdMakePuzzle->show();
        scrollSquareSize->setEnabled(true);
        cmdLevel->setEnabled(true);
        cmdHiddenMessage->setEnabled(true);
        cmdPrintPuzzle->show();
        cmdViewsolution_Click();
        cmdLobby->setEnabled(true);
        setCancelRole(cmdLobby);
        cmdHelp->setEnabled(true);
        break;
    }
}

void frmPuzzle::cmdCancelPuzzle_Click()
{
    requestCancel();
}

void frmPuzzle::AttemptStarted(int attempt)
{
    // An attempt that placed every word hid the cancel button, yet its fill can still fail it: the
    // next attempt is cancelled by the button and Esc like the first.
    cmdCancelPuzzle->show();
    labelAttempts->setText(display(QStringLiteral("Attempts Made ") + CrLf + formatNumber(attempt)));
    FillWordList();
    DrawEmptyBoard();
}

void frmPuzzle::Yield()
{
    QCoreApplication::processEvents();
}

void frmPuzzle::CellTried(int row, int column, QChar letter)
{
    picPuzzle->model().showTried(row, column, letter);
}

void frmPuzzle::PauseRequested(int milliseconds)
{
    // The pause blocks the thread: what it is meant to show must be on screen first.
    picPuzzle->repaintNow();
    pause(milliseconds);
}

void frmPuzzle::CellReverted(int row, int column, QChar content)
{
    picPuzzle->model().showReverted(row, column, content);
}

void frmPuzzle::WordAccepted(int wordsPlaced)
{
    // Once the last word is in, nothing of this attempt is left to cancel: the button goes before
    // the fill (and comes back should the fill fail the attempt).
    if (wordsPlaced == m_words.size())
        cmdCancelPuzzle->hide();
    picPuzzle->repaintNow();
    modStandard::PlaySoundEffect(QStringLiteral("click"), 0);
    pause(AcceptedWordPauseMilliseconds);
    labelWordsPlaced->setText(display(QStringLiteral("Words Placed ") + CrLf + formatNumber(wordsPlaced)));
    if (listWords->count() > 0)
        delete listWords->takeItem(0);
    Yield();
}

void frmPuzzle::CellCommitted(int row, int column, QChar letter)
{
    picPuzzle->model().showCommitted(row, column, letter);
    DrawBoard(BoardLayer::Solution);
}

void frmPuzzle::WordAbandoned()
{
    picPuzzle->repaintNow();
    modStandard::PlaySoundEffect(QStringLiteral("tryagain"), 0);
}

void frmPuzzle::AttemptFailed(int attempt)
{
    // After the last attempt the board stays as it is behind the message that follows.
    if (attempt < MaxAttempts)
        DrawEmptyBoard();
}

void frmPuzzle::PuzzleCompleted()
{
    picPuzzle->repaintNow();
    modStandard::PlaySoundEffect(QStringLiteral("done"), 0);
}

void frmPuzzle::pause(int milliseconds)
{
    if (m_pause)
        m_pause(milliseconds);
}

// --- viewing ---------------------------------------------------------------------------------------

void frmPuzzle::cmdViewPuzzle_Click()
{
    cmdViewSolution->show();
    setDefaultRole(cmdViewSolution);
    cmdViewPuzzle->hide();
    DrawBoard(BoardLayer::Puzzle);
}

void frmPuzzle::cmdViewsolution_Click()
{
    cmdViewPuzzle->show();
    setDefaultRole(cmdViewPuzzle);
    cmdViewSolution->hide();
    DrawBoard(BoardLayer::Solution);
}

void frmPuzzle::setDefaultRole(OstrelButton *button)
{
    for (OstrelButton *other : {cmdViewPuzzle, cmdViewSolution, cmdMakePuzzle, cmdPrintPuzzle})
        if (other != button)
            other->setDefaultLook(false);
    button->setDefaultLook(true);
    setDefaultButton(button, [button] { button->click(); });
}

void frmPuzzle::setCancelRole(OstrelButton *button)
{
    setCancelButton(button, [button] { button->click(); });
}

QWidget *frmPuzzle::visibleViewButton() const
{
    if (cmdViewPuzzle->isVisibleTo(const_cast<frmPuzzle *>(this)))
        return cmdViewPuzzle;
    if (cmdViewSolution->isVisibleTo(const_cast<frmPuzzle *>(this)))
        return cmdViewSolution;
    return nullptr;
}

// --- sound, help, leaving --------------------------------------------------------------------------

void frmPuzzle::cmdSoundStatus_MouseMove()
{
    cmdSoundStatus->setToolTip(modStandard::SoundOn ? DisableSoundTip : EnableSoundTip);
}

void frmPuzzle::cmdSoundStatus_Click()
{
    modStandard::SoundOn = !modStandard::SoundOn;
    basBrivamo::writeBoolSetting(basBrivamo::KeySoundStatus, modStandard::SoundOn);
    showSoundPicture();
}

void frmPuzzle::showSoundPicture()
{
    cmdSoundStatus->setPictureNormal(
        ButtonPicture::fromReference(modStandard::SoundOn ? QStringLiteral(":/pictures/sound_on.png")
                                                          : QStringLiteral(":/pictures/sound_off.png")));
    // The picture alone says nothing to a screen reader; it hears what the tip would say.
    cmdSoundStatus->setAccessibleName((modStandard::SoundOn ? DisableSoundTip : EnableSoundTip).trimmed());
}

// A new level, like a new size, discards the puzzle on the board.
void frmPuzzle::cmdLevel_Click()
{
    if (m_state == State::Running)
        return;
    m_level = NextLevel(m_level);
    basBrivamo::WriteSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection,
                             basBrivamo::KeyLevel, LevelSettingText(m_level));
    showLevel();
    if (m_initialized)
        ResetPuzzleWindow();
}

void frmPuzzle::showLevel()
{
    cmdLevel->setCaption(levelCaption(m_level));
    cmdLevel->setToolTip(levelTip(m_level));
    cmdLevel->Refresh();
}

// The fill is drawn while the puzzle is built, so a new message, like a new level, discards the
// puzzle on the board. A message no square of this list could hold is refused at once; one too long
// for the current square only when a puzzle is made, as the square may still grow. So is one that
// spells a blocked word: nearly every attempt would fail, and the user would never learn why.
void frmPuzzle::cmdHiddenMessage_Click()
{
    if (m_state == State::Running)
        return;
    const std::optional<QString> typed =
        dialogs().InputBoxOrCancel(HiddenMessagePrompt, HiddenMessageCaption, hiddenMessage());
    if (!typed || *typed == hiddenMessage())
        return;
    if (!typed->isEmpty()) {
        if (const QString problem = HiddenMessageProblem(*typed, m_words, LargestSide); !problem.isEmpty()) {
            dialogs().MsgBox(problem + CrLf + CrLf + ShorterMessageAdvice, MsgButtons::OkOnly,
                             MsgIcon::Exclamation, HiddenMessageCaption);
            return;
        }
        if (const QString blocked = HiddenMessageBlockedWord(*typed, m_words, m_workspace.blockedWords());
            !blocked.isEmpty()) {
            dialogs().MsgBox(BlockedMessageRefusal(blocked), MsgButtons::OkOnly, MsgIcon::Exclamation,
                             HiddenMessageCaption);
            return;
        }
    }
    m_workspace.setHiddenMessage(*typed);
    showHiddenMessage();
    if (m_initialized)
        ResetPuzzleWindow();
}

void frmPuzzle::showHiddenMessage()
{
    cmdHiddenMessage->setCaption(hiddenMessageButtonCaption(HiddenMessageLetters(hiddenMessage(), m_words)));
    cmdHiddenMessage->setToolTip(hiddenMessageTip(hiddenMessage()));
    cmdHiddenMessage->Refresh();
}

void frmPuzzle::cmdHelp_Click()
{
    if (fadingOn())
        StartFade(255, 204, 2, false);
    HelpTopicIndex = HelpTopicPuzzle;
    if (const HelpOpener &open = helpOpener())
        open(HelpTopicIndex);
    if (fadingOn())
        StartFade(204, 255, 3, false);
}

bool frmPuzzle::Form_KeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_F1) {
        cmdHelp_Click();
        return true;
    }
    return false;
}

void frmPuzzle::cmdLobby_Click()
{
    if (m_state == State::Running)
        return;
    if (fadingOn())
        StartFade(255, 0, 20, true);
    else
        Unload();
}

bool frmPuzzle::Form_QueryUnload(UnloadMode mode)
{
    if (mode != UnloadMode::ControlMenu)
        return false;
    // The user's close command: refused during a run, otherwise it leaves like the lobby button.
    if (m_state != State::Running)
        cmdLobby_Click();
    return true;
}

bool frmPuzzle::fadingOn() const
{
    return modFadeInOut::FadeActive;
}

void frmPuzzle::fadeAndWait(quint8 start, quint8 end, quint8 step)
{
    StartFade(start, end, step, false);
    WaitForFade();
}

// --- printing --------------------------------------------------------------------------------------

void frmPuzzle::cmdPrintPuzzle_Click()
{
    if (m_state != State::Finished)
        return;
    // The question stays as it always was; the box under it offers the outlined answer key.
    const bool outlined = ReadPageStyle().answerKey == AnswerKey::Outline;
    MsgCheckBox outline{OutlineKeyCheck, outlined};
    const MsgAnswer solution =
        dialogs().MsgBox(SolutionQuestion, MsgButtons::YesNoCancel, MsgIcon::Question, AppTitle, 1, outline);
    if (solution == MsgAnswer::Cancel)
        return;
    if (outline.checked != outlined)
        WriteAnswerKey(outline.checked ? AnswerKey::Outline : AnswerKey::Dots);

    QString dedication;
    if (dialogs().MsgBox(PersonalizeQuestion, MsgButtons::YesNo, MsgIcon::Question, PersonalizeCaption) ==
        MsgAnswer::Yes) {
        m_dedication = dialogs().InputBox(DedicationPrompt, DedicationCaption, m_dedication);
        dedication = m_dedication;
    }

    setPrintingControlsEnabled(false);
    QString failure;
    const bool printed = printPages(solution == MsgAnswer::Yes, dedication, &failure);
    setPrintingControlsEnabled(true);
    if (!printed)
        dialogs().MsgBox(failure, MsgButtons::OkOnly, MsgIcon::Critical, modStandard::PrintFailedCaption);
}

void frmPuzzle::setPrintingControlsEnabled(bool enabled)
{
    if (auto *view = qobject_cast<OstrelButton *>(visibleViewButton()))
        view->setEnabled(enabled);
    cmdMakePuzzle->setEnabled(enabled);
    cmdPrintPuzzle->setEnabled(enabled);
    cmdLevel->setEnabled(enabled);
    cmdHiddenMessage->setEnabled(enabled);
    cmdHelp->setEnabled(enabled);
    cmdLobby->setEnabled(enabled);
}

bool frmPuzzle::printPages(bool withSolution, const QString &dedication, QString *failure)
{
    *failure = modStandard::PrintFailedText;
    if (!m_grid)
        return false;
    const PuzzlePageContent content{labelCategory->text(),       m_words,        m_grid.get(), 0, 0,
                                    m_workspace.hiddenMessage(), ReadPageStyle()};
    // Where the user wants it, the system print dialog picks the printer, copies and pages (the
    // puzzle is page 1, its solution page 2) once for both jobs.
    PrintChoice choice;
    if (basBrivamo::readBoolSetting(QStringLiteral("PrintDialog"), false)) {
        choice = askPrintChoice(this, withSolution ? 2 : 1);
        if (choice.cancelled)
            return true;
    }
    return PrintPuzzleJobs(
        [this, &choice] { return openChosenPrinter(this, choice, modStandard::AcceptPdfFileName); }, content,
        withSolution && choice.includesPage(2), dedication, this,
        [&](const Printer &printer) { *failure = modStandard::PrintFailureText(printer); },
        choice.includesPage(1));
}

// A PDF file must not take the place of a word list, whatever link leads there.
} // namespace brivamo
