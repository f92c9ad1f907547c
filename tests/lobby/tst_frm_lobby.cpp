#include "base/settings.h"
#include "common/recording_link_opener.h"
#include "common/scripted_dialogs.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "lobby/email_friend.h"
#include "lobby/frm_lobby.h"
#include "lobby_support.h"
#include "puzzle/frm_puzzle.h"
#include "wordlists/word_list.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace brivamo;

namespace {

const QString WordPrompt = QStringLiteral(
    "\r\n\r\nEnter a word from 3 to 20 characters long\r\n(using LETTERS ONLY-- no spaces or numbers)");

QStringList entries(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->item(i)->text());
    return result;
}

QString current(const QListWidget *list)
{
    return list->currentItem() ? list->currentItem()->text() : QString();
}

bool shown(const QWidget *control)
{
    return control->isVisibleTo(control->window());
}

} // namespace

class TestFrmLobby : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WorkingFolder> m_folder;
    QList<int> m_helpTopics;

    frmLobby &openLobby()
    {
        frmLobby &lobby = form<frmLobby>();
        lobby.Show();
        return lobby;
    }

    // The list box's row `row`, selected the way a click selects it.
    static void selectCategory(frmLobby &lobby, int row) { lobby.listCategories->setCurrentRow(row); }

    static void selectWord(frmLobby &lobby, const QString &word)
    {
        const auto found = lobby.listWords->findItems(word, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        lobby.listWords->setCurrentItem(found.first());
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<WorkingFolder>();
        LastCategoryIndex = 0;
        QSettings(QSettings::IniFormat, QSettings::UserScope, basBrivamo::SettingsApplication,
                  basBrivamo::SettingsApplication)
            .clear();
        m_helpTopics.clear();
        frmLobby::setHelpOpener([this](int topic) { m_helpTopics.append(topic); });
    }

    void cleanup()
    {
        destroyAllForms();
        m_folder.reset();
    }

    void firstStartWithOnlyTheWeekdayList()
    {
        m_folder->writeList(QStringLiteral("Weekdays.lst"),
                            {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();

        QCOMPARE(lobby.windowTitle(), QStringLiteral("Brivamo"));
        QCOMPARE(lobby.labelCategory->text(), QStringLiteral("Categories (1)"));
        QCOMPARE(current(lobby.listCategories), QStringLiteral("Weekdays"));
        QCOMPARE(entries(lobby.listWords),
                 QStringList({"FRIDAY", "MONDAY", "SATURDAY", "SUNDAY", "THURSDAY", "TUESDAY", "WEDNESDAY"}));
        QCOMPARE(current(lobby.listWords), QStringLiteral("FRIDAY"));
        QCOMPARE(lobby.labelWords->text(), QStringLiteral("Words in this Category (7)"));
        QVERIFY(shown(lobby.cmdAddWord) && shown(lobby.cmdEditWord) && shown(lobby.cmdDeleteWord));
        QVERIFY(shown(lobby.cmdAddCategory) && shown(lobby.cmdDeleteCategory) && shown(lobby.cmdMakePuzzle));
        QVERIFY(!shown(lobby.cmdNewAdd) && !shown(lobby.cmdNewSave) && !shown(lobby.cmdNewCancel));
        QCOMPARE(lobby.defaultButton(), lobby.cmdMakePuzzle);
        QCOMPARE(lobby.cancelButton(), lobby.cmdQuit);
        QCOMPARE(lobby.cmdMakePuzzle->Caption(), QStringLiteral("Make a\r\nBrivamo\r\n&Puzzle!"));
        QCOMPARE(lobby.cmdQuit->toolTip(), QStringLiteral(" Close Brivamo <Esc> "));
        // What a screen reader hears.
        auto spoken = [](QWidget *widget, QAccessible::Text text) {
            return QAccessible::queryAccessibleInterface(widget)->text(text);
        };
        QCOMPARE(spoken(lobby.listCategories, QAccessible::Name), QStringLiteral("Categories"));
        QCOMPARE(spoken(lobby.listWords, QAccessible::Name), QStringLiteral("Words"));
        QCOMPARE(spoken(lobby.cmdMakePuzzle, QAccessible::Name), QStringLiteral("Make a Brivamo Puzzle!"));
        QCOMPARE(spoken(lobby.cmdQuit, QAccessible::Description), QStringLiteral("Close Brivamo <Esc>"));
        for (OstrelButton *button : lobby.findChildren<OstrelButton *>())
            QVERIFY2(!spoken(button, QAccessible::Name).isEmpty(), qPrintable(button->objectName()));
        QCOMPARE(dialogs.count(), 0);
        // Nothing else was installed next to an existing list.
        QCOMPARE(m_folder->listFiles(), QStringList{"Weekdays.lst"});
    }

    void emptyFolderGetsTheShippedLists()
    {
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        QCOMPARE(entries(lobby.listCategories),
                 QStringList({"ANIMALS", "FRUITS", "MONTHS", "SPACE", "Weekdays"}));
        QCOMPARE(lobby.labelCategory->text(), QStringLiteral("Categories (5)"));
        const QByteArray months = m_folder->bytes(QStringLiteral("MONTHS.lst"));
        QVERIFY(months.startsWith("JANUARY\r\nFEBRUARY\r\n"));
        QVERIFY(months.endsWith("NOVEMBER\r\nDECEMBER\r\n"));
        QCOMPARE(dialogs.count(), 0);
    }

    void wordButtonsFollowTheList_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("wordCount");
        QTest::addColumn<bool>("addWord");
        QTest::addColumn<bool>("editWord");
        QTest::addColumn<bool>("deleteWord");
        QTest::addColumn<bool>("deleteCategory");

        QTest::newRow("25 words") << "PETS.lst" << 25 << false << true << true << true;
        QTest::newRow("24 words") << "PETS.lst" << 24 << true << true << true << true;
        QTest::newRow("30 words") << "PETS.lst" << 30 << false << true << true << true;
        QTest::newRow("2 words") << "PETS.lst" << 2 << true << true << true << true;
        QTest::newRow("1 word") << "PETS.lst" << 1 << true << true << false << true;
        QTest::newRow("MONTHS") << "MONTHS.lst" << 12 << false << false << false << false;
        QTest::newRow("Months.LST") << "Months.LST" << 12 << false << false << false << false;
        QTest::newRow("Month") << "Month.lst" << 12 << true << true << true << true;
    }

    void wordButtonsFollowTheList()
    {
        QFETCH(QString, fileName);
        QFETCH(int, wordCount);
        m_folder->writeList(fileName, numberedWords(wordCount));
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        // The list sorts before Weekdays, so it is the first entry.
        QCOMPARE(current(lobby.listCategories), fileName.chopped(4));
        QCOMPARE(lobby.listWords->count(), wordCount);
        QCOMPARE(lobby.labelWords->text(), QStringLiteral("Words in this Category (%1)").arg(wordCount));

        QTEST(shown(lobby.cmdAddWord), "addWord");
        QTEST(shown(lobby.cmdEditWord), "editWord");
        QTEST(shown(lobby.cmdDeleteWord), "deleteWord");
        QTEST(shown(lobby.cmdDeleteCategory), "deleteCategory");
        QVERIFY(shown(lobby.cmdMakePuzzle));

        // Selecting Weekdays afterwards offers every editing button again.
        selectCategory(lobby, 1);
        QVERIFY(shown(lobby.cmdAddWord) && shown(lobby.cmdEditWord) && shown(lobby.cmdDeleteWord) &&
                shown(lobby.cmdDeleteCategory));
    }

    void createListOnlyBelow999Lists_data()
    {
        QTest::addColumn<int>("lists");
        QTest::addColumn<bool>("offered");
        QTest::newRow("998") << 998 << true;
        QTest::newRow("999") << 999 << false;
    }

    void createListOnlyBelow999Lists()
    {
        QFETCH(int, lists);
        const QStringList names = numberedWords(lists - 1); // plus Weekdays
        for (const QString &name : names)
            m_folder->writeList(name + QStringLiteral(".lst"), {"APE"});
        m_folder->writeList(QStringLiteral("Weekdays.lst"), {"MONDAY"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        QCOMPARE(lobby.listCategories->count(), lists);
        QCOMPARE(lobby.labelCategory->text(), QStringLiteral("Categories (%1)").arg(lists));
        QTEST(shown(lobby.cmdAddCategory), "offered");
    }

    void selectionIsRestoredByPosition()
    {
        for (const char *name : {"BEE", "CAT", "DOG", "EEL", "FOX"})
            m_folder->writeList(QString::fromLatin1(name) + QStringLiteral(".lst"), {"WORD"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        selectCategory(lobby, 3);
        QCOMPARE(current(lobby.listCategories), QStringLiteral("EEL"));
        QCOMPARE(LastCategoryIndex, qint16(3));

        // Another program adds a list that sorts first: the fourth entry is selected again.
        m_folder->writeList(QStringLiteral("ANT.lst"), {"WORD"});
        lobby.ShowLobbyMode();
        QCOMPARE(current(lobby.listCategories), QStringLiteral("DOG"));

        // Lists removed behind the lobby's back: the last remaining entry is selected.
        for (const char *name : {"BEE.lst", "CAT.lst", "DOG.lst", "EEL.lst"})
            QVERIFY(m_folder->dir().remove(QString::fromLatin1(name)));
        lobby.ShowLobbyMode();
        QCOMPARE(entries(lobby.listCategories), QStringList({"ANT", "FOX", "Weekdays"}));
        QCOMPARE(current(lobby.listCategories), QStringLiteral("Weekdays"));
        QCOMPARE(lobby.labelWords->text(), QStringLiteral("Words in this Category (7)"));
    }

    void newListIsTypedSortedAndSaved()
    {
        m_folder->writeList(QStringLiteral("Weekdays.lst"), {"MONDAY"});
        m_folder->writeList(QStringLiteral("ZOO.lst"), {"APE"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        selectCategory(lobby, 1); // ZOO

        dialogs.queueInput(QStringLiteral("zebra"));
        lobby.cmdAddCategory_Click();
        QVERIFY(lobby.model().creating());
        QCOMPARE(dialogs.last().caption, QStringLiteral("Creating a New List of Words..."));
        QCOMPARE(dialogs.last().text, WordPrompt);
        QVERIFY(!shown(lobby.listCategories) && !shown(lobby.cmdAddCategory) && !shown(lobby.cmdMakePuzzle));
        QVERIFY(shown(lobby.cmdNewAdd) && shown(lobby.cmdNewSave) && shown(lobby.cmdNewCancel));
        QVERIFY(lobby.cmdNewSave->Enabled());

        dialogs.queueInput(QStringLiteral(" Ape "));
        lobby.cmdNewAdd_Click();
        dialogs.queueInput(QStringLiteral("LION"));
        lobby.cmdNewAdd_Click();
        QCOMPARE(entries(lobby.listWords), QStringList({"APE", "LION", "ZEBRA"}));
        QCOMPARE(lobby.labelWords->text(), QStringLiteral("Words in this new list (3)"));
        QCOMPARE(lobby.labelCategory->text(), QString());
        QCOMPARE(lobby.defaultButton(), lobby.cmdNewAdd);

        dialogs.queueInput(QStringLiteral("wild"));
        lobby.cmdNewSave_Click();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Category Name for this New List..."));
        QCOMPARE(dialogs.last().text,
                 QStringLiteral(
                     "Type a `Category' name that describes\r\nthis new word list (8 characters maximum)"));
        QCOMPARE(m_folder->bytes(QStringLiteral("WILD.Lst")), QByteArray("APE\r\nLION\r\nZEBRA\r\n"));
        QVERIFY(lobby.model().browsing());
        QCOMPARE(entries(lobby.listCategories), QStringList({"Weekdays", "WILD", "ZOO"}));
        // The selection returns to the position held before: the second entry.
        QCOMPARE(current(lobby.listCategories), QStringLiteral("WILD"));
        QCOMPARE(entries(lobby.listWords), QStringList({"APE", "LION", "ZEBRA"}));
        QCOMPARE(lobby.defaultButton(), lobby.cmdMakePuzzle);
        QCOMPARE(dialogs.pendingAnswers(), 0);
    }

    void cancellingTheFirstPromptStaysInCreating()
    {
        m_folder->writeList(QStringLiteral("Weekdays.lst"), {"MONDAY"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        dialogs.queueInputCancel();
        lobby.cmdAddCategory_Click();
        QVERIFY(lobby.model().creating());
        QCOMPARE(lobby.listWords->count(), 0);
        QCOMPARE(lobby.labelWords->text(), QString());
        QVERIFY(shown(lobby.cmdNewAdd) && shown(lobby.cmdNewSave) && shown(lobby.cmdNewCancel));
        QVERIFY(lobby.cmdNewAdd->Enabled());
        QVERIFY(!lobby.cmdNewSave->Enabled());
        QCOMPARE(lobby.defaultButton(), lobby.cmdNewAdd);

        // Cancelling the new list reloads the catalogue; nothing was written.
        lobby.cmdNewCancel_Click();
        QVERIFY(lobby.model().browsing());
        QCOMPARE(entries(lobby.listCategories), QStringList{"Weekdays"});
        QCOMPARE(m_folder->listFiles(), QStringList{"Weekdays.lst"});
    }

    void invalidWordsAreAskedAgainOnlyWhenAddingToAList()
    {
        m_folder->writeList(QStringLiteral("PETS.lst"), {"APE", "ZEBRA"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();

        // New list: the error ends the flow.
        dialogs.queueInput(QStringLiteral("ab"));
        dialogs.queueMessage(MsgAnswer::Ok);
        lobby.cmdAddCategory_Click();
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Error"));
        QCOMPARE(dialogs.last().icon, MsgIcon::Critical);
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("'ab'\r\n\r\nis not a valid entry.\r\n\r\nThe word must be "
                                "from\r\n3 to 20 characters long!"));
        QCOMPARE(lobby.listWords->count(), 0);
        lobby.cmdNewCancel_Click();

        // Existing list: the prompt comes back until a valid word or a cancel.
        dialogs.clearCalls();
        dialogs.queueInput(QStringLiteral("ice cream"));
        dialogs.queueMessage(MsgAnswer::Ok);
        dialogs.queueInput(QStringLiteral("lion"));
        lobby.cmdAddWord_Click();
        QCOMPARE(dialogs.count(), 3);
        QCOMPARE(dialogs.calls().at(0).caption, QStringLiteral("Add word to list"));
        QCOMPARE(dialogs.calls().at(0).text, WordPrompt);
        QVERIFY(dialogs.calls().at(1).text.endsWith(QStringLiteral("Letters only, please!")));
        QCOMPARE(dialogs.calls().at(2).caption, QStringLiteral("Add word to list"));
        QCOMPARE(entries(lobby.listWords), QStringList({"APE", "LION", "ZEBRA"}));
        QCOMPARE(current(lobby.listWords), QStringLiteral("APE"));
        QCOMPARE(lobby.labelWords->text(), QStringLiteral("Words in this Category (3)"));
        QCOMPARE(m_folder->bytes(QStringLiteral("PETS.lst")), QByteArray("APE\r\nLION\r\nZEBRA\r\n"));
    }

    void theTwentyFifthWordMakesEnterSave()
    {
        m_folder->writeList(QStringLiteral("Weekdays.lst"), {"MONDAY"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        const QStringList words = numberedWords(25);
        dialogs.queueInput(words.at(0));
        lobby.cmdAddCategory_Click();
        for (int i = 1; i < 24; ++i) {
            dialogs.queueInput(words.at(i).toLower());
            lobby.cmdNewAdd_Click();
        }
        QVERIFY(lobby.cmdNewAdd->Enabled());
        QCOMPARE(lobby.defaultButton(), lobby.cmdNewAdd);

        lobby.cmdNewAdd->setFocus();
        dialogs.queueInput(words.at(24));
        lobby.cmdNewAdd_Click();
        QCOMPARE(lobby.labelWords->text(), QStringLiteral("Words in this new list (25)"));
        QVERIFY(!lobby.cmdNewAdd->Enabled());
        QVERIFY(lobby.cmdNewSave->Enabled());
        QCOMPARE(lobby.defaultButton(), lobby.cmdNewSave);
        // The focus leaves the disabled add button for the save button: Space presses what Enter does.
        QCOMPARE(lobby.focusWidget(), lobby.cmdNewSave);

        // Enter now asks for the new list's name.
        dialogs.queueInput(QStringLiteral("letters"));
        QTest::keyClick(&lobby, Qt::Key_Return);
        QCOMPARE(m_folder->bytes(QStringLiteral("LETTERS.Lst")), listBytes(words));
        QCOMPARE(current(lobby.listCategories), QStringLiteral("LETTERS"));
        QVERIFY(!shown(lobby.cmdAddWord));
    }

    void takenNameIsRefusedInAnyCase()
    {
        m_folder->writeList(QStringLiteral("Zoo.lst"), {"APE"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        dialogs.queueInput(QStringLiteral("yak"));
        lobby.cmdAddCategory_Click();
        dialogs.queueInput(QStringLiteral("ZOO"));
        dialogs.queueMessage(MsgAnswer::Ok);
        lobby.cmdNewSave_Click();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Duplicate Entry"));
        QCOMPARE(dialogs.last().text, QStringLiteral("That category name\r\nalready exists!"));
        QCOMPARE(dialogs.last().icon, MsgIcon::Critical);
        QVERIFY(lobby.model().creating());
        QCOMPARE(entries(lobby.listWords), QStringList{"YAK"});
        QCOMPARE(m_folder->listFiles(), QStringList({"Weekdays.lst", "Zoo.lst"}));
        QCOMPARE(m_folder->bytes(QStringLiteral("Zoo.lst")), QByteArray("APE\r\n"));

        // Cancelling the name box says nothing and keeps the new words.
        const int boxes = dialogs.count();
        dialogs.queueInputCancel();
        lobby.cmdNewSave_Click();
        QCOMPARE(dialogs.count(), boxes + 1);
        QVERIFY(lobby.model().creating());

        // A name that is too long ends the flow too, still creating.
        dialogs.queueInput(QStringLiteral("elephants"));
        dialogs.queueMessage(MsgAnswer::Ok);
        lobby.cmdNewSave_Click();
        QVERIFY(
            dialogs.last().text.endsWith(QStringLiteral("The word must be from\r\n2 to 8 characters long!")));
        QVERIFY(lobby.model().creating());
        QCOMPARE(m_folder->listFiles().size(), 2);
    }

    void editingAWordKeepsItSelected()
    {
        m_folder->writeList(QStringLiteral("PETS.lst"), {"ZEBRA", "APE", "LION"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        QCOMPARE(current(lobby.listWords), QStringLiteral("APE"));
        dialogs.queueInput(QStringLiteral("yak"));
        lobby.cmdEditWord_Click();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Brivamo"));
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("\r\nChange the current word\r\n\r\nfrom 'APE'\r\n\r\nto..."));
        QCOMPARE(entries(lobby.listWords), QStringList({"LION", "YAK", "ZEBRA"}));
        QCOMPARE(current(lobby.listWords), QStringLiteral("YAK"));
        QCOMPARE(m_folder->bytes(QStringLiteral("PETS.lst")), QByteArray("LION\r\nYAK\r\nZEBRA\r\n"));

        // Cancel changes nothing; an invalid word asks again with the same word quoted.
        selectWord(lobby, QStringLiteral("ZEBRA"));
        dialogs.clearCalls();
        dialogs.queueInput(QStringLiteral("x1"));
        dialogs.queueMessage(MsgAnswer::Ok);
        dialogs.queueInputCancel();
        lobby.cmdEditWord_Click();
        QCOMPARE(dialogs.count(), 3);
        QCOMPARE(dialogs.calls().at(2).text, dialogs.calls().at(0).text);
        QVERIFY(dialogs.calls().at(0).text.contains(QStringLiteral("'ZEBRA'")));
        QCOMPARE(m_folder->bytes(QStringLiteral("PETS.lst")), QByteArray("LION\r\nYAK\r\nZEBRA\r\n"));
    }

    void deletingWords()
    {
        m_folder->writeList(QStringLiteral("PETS.lst"), {"APE", "LION", "ZEBRA"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        selectWord(lobby, QStringLiteral("LION"));

        dialogs.queueMessage(MsgAnswer::No);
        lobby.cmdDeleteWord_Click();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Confirm this Word Deletion"));
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Are you sure you want\r\nto delete the word\r\n\r\nLION\r\n\r\n"
                                "from this word list?"));
        QCOMPARE(dialogs.last().buttons, MsgButtons::YesNo);
        QCOMPARE(dialogs.last().icon, MsgIcon::Question);
        QCOMPARE(dialogs.last().defaultButton, 2);
        QCOMPARE(lobby.listWords->count(), 3);
        QCOMPARE(m_folder->bytes(QStringLiteral("PETS.lst")), QByteArray("APE\r\nLION\r\nZEBRA\r\n"));

        selectWord(lobby, QStringLiteral("LION"));
        dialogs.queueMessage(MsgAnswer::Yes);
        lobby.cmdDeleteWord_Click();
        QCOMPARE(entries(lobby.listWords), QStringList({"APE", "ZEBRA"}));
        QCOMPARE(current(lobby.listWords), QStringLiteral("APE"));
        QCOMPARE(m_folder->bytes(QStringLiteral("PETS.lst")), QByteArray("APE\r\nZEBRA\r\n"));
        QVERIFY(shown(lobby.cmdDeleteWord));

        dialogs.queueMessage(MsgAnswer::Yes);
        lobby.cmdDeleteWord_Click();
        QCOMPARE(entries(lobby.listWords), QStringList{"ZEBRA"});
        QCOMPARE(lobby.labelWords->text(), QStringLiteral("Words in this Category (1)"));
        QCOMPARE(m_folder->bytes(QStringLiteral("PETS.lst")), QByteArray("ZEBRA\r\n"));
        QVERIFY(!shown(lobby.cmdDeleteWord));
    }

    void deletingCategoriesSelectsTheNeighbour()
    {
        for (const char *name : {"ANT", "BEE", "CAT", "ZOO"})
            m_folder->writeList(QString::fromLatin1(name) + QStringLiteral(".lst"), {"WORD"});
        m_folder->writeList(QStringLiteral("Weekdays.lst"), {"MONDAY"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();

        // The last entry: the new last one is selected.
        selectCategory(lobby, 4);
        dialogs.queueMessage(MsgAnswer::Yes);
        lobby.cmdDeleteCategory_Click();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Confirm Category Deletion"));
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Are you sure you want\r\nto delete the category \r\n\r\n"
                                "ZOO\r\n\r\nand the words in this list?"));
        QCOMPARE(dialogs.last().buttons, MsgButtons::YesNo);
        QCOMPARE(dialogs.last().defaultButton, 2);
        QCOMPARE(entries(lobby.listCategories), QStringList({"ANT", "BEE", "CAT", "Weekdays"}));
        QCOMPARE(current(lobby.listCategories), QStringLiteral("Weekdays"));
        QCOMPARE(entries(lobby.listWords), QStringList{"MONDAY"});
        QVERIFY(!m_folder->exists(QStringLiteral("ZOO.lst")));

        // A middle entry: the one that followed it is selected.
        selectCategory(lobby, 1);
        dialogs.queueMessage(MsgAnswer::Yes);
        lobby.cmdDeleteCategory_Click();
        QCOMPARE(entries(lobby.listCategories), QStringList({"ANT", "CAT", "Weekdays"}));
        QCOMPARE(current(lobby.listCategories), QStringLiteral("CAT"));
        QCOMPARE(m_folder->listFiles(), QStringList({"ANT.lst", "CAT.lst", "Weekdays.lst"}));
        QCOMPARE(lobby.labelCategory->text(), QStringLiteral("Categories (3)"));

        // No keeps the list.
        dialogs.queueMessage(MsgAnswer::No);
        lobby.cmdDeleteCategory_Click();
        QCOMPARE(m_folder->listFiles(), QStringList({"ANT.lst", "CAT.lst", "Weekdays.lst"}));
        QCOMPARE(current(lobby.listCategories), QStringLiteral("CAT"));
    }

    void failedWriteIsReportedAndTheFolderShown()
    {
        m_folder->writeList(QStringLiteral("PETS.lst"), {"APE"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        QCOMPARE(current(lobby.listCategories), QStringLiteral("PETS"));
        // Another program replaces the list by a folder of the same name: it can be neither
        // read as a list nor replaced.
        QVERIFY(m_folder->dir().remove(QStringLiteral("PETS.lst")));
        QVERIFY(m_folder->dir().mkdir(QStringLiteral("PETS.Lst")));

        dialogs.queueInput(QStringLiteral("lion"));
        dialogs.queueMessage(MsgAnswer::Ok);
        lobby.cmdAddWord_Click();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Error"));
        QCOMPARE(dialogs.last().icon, MsgIcon::Critical);
        QVERIFY(dialogs.last().text.contains(QStringLiteral("PETS")));
        QCOMPARE(entries(lobby.listCategories), QStringList{"Weekdays"});
        QCOMPARE(current(lobby.listCategories), QStringLiteral("Weekdays"));
        QCOMPARE(lobby.listWords->count(), 7);
        QVERIFY(QFileInfo(m_folder->dir().filePath(QStringLiteral("PETS.Lst"))).isDir());
    }

    void emptyListFileIsReported()
    {
        m_folder->writeList(QStringLiteral("PETS.lst"), {});
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer::Ok);
        frmLobby &lobby = openLobby();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Error"));
        QCOMPARE(current(lobby.listCategories), QStringLiteral("PETS"));
        QCOMPARE(lobby.listWords->count(), 0);
        // Nothing to make a puzzle of or to edit, but a first word can be added.
        QVERIFY(!shown(lobby.cmdMakePuzzle) && !shown(lobby.cmdEditWord) && !shown(lobby.cmdDeleteWord));
        QVERIFY(shown(lobby.cmdAddWord) && shown(lobby.cmdDeleteCategory));
        dialogs.queueInput(QStringLiteral("ape"));
        lobby.cmdAddWord_Click();
        QCOMPARE(m_folder->bytes(QStringLiteral("PETS.lst")), QByteArray("APE\r\n"));
        QVERIFY(shown(lobby.cmdMakePuzzle));
    }

    void unreadableListOffersNoChange_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("too large") << QByteArray(modSupport::MaxListFileBytes + 2, 'A') << "too large";
        QTest::newRow("broken utf-16") << QByteArray("\xff\xfe"
                                                     "A\0B",
                                                     5)
                                       << "not valid UTF-16";
    }

    void unreadableListOffersNoChange()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        {
            QFile file(m_folder->dir().filePath(QStringLiteral("BIG.lst")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(bytes), bytes.size());
        }
        m_folder->writeList(QStringLiteral("Weekdays.lst"), {"SUNDAY"});
        ScriptedDialogs dialogs;
        // The message comes once the lobby already shows the failed list.
        frmLobby *lobby = nullptr;
        QString labelBehindMessage;
        bool addOfferedBehindMessage = true;
        dialogs.setOnShow([&](const ScriptedDialogs::Call &) {
            lobby = &form<frmLobby>();
            labelBehindMessage = lobby->labelWords->text();
            addOfferedBehindMessage = shown(lobby->cmdAddWord);
        });
        dialogs.queueMessage(MsgAnswer::Ok);
        frmLobby &opened = openLobby();
        QCOMPARE(dialogs.count(), 1);
        QVERIFY2(dialogs.last().text.contains(reason), qPrintable(dialogs.last().text));
        QCOMPARE(labelBehindMessage, QStringLiteral("Words: list could not be read"));
        QVERIFY(!addOfferedBehindMessage);
        QCOMPARE(current(opened.listCategories), QStringLiteral("BIG"));
        QVERIFY(!shown(opened.cmdAddWord) && !shown(opened.cmdEditWord) && !shown(opened.cmdDeleteWord));
        QVERIFY(!shown(opened.cmdMakePuzzle));
        // The user can still get rid of it.
        QVERIFY(shown(opened.cmdDeleteCategory));
        QCOMPARE(m_folder->bytes(QStringLiteral("BIG.lst")), bytes);
    }

    void changesByAnotherProgramAreKept_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("add") << "add" << QByteArray("APE\r\nBEAR\r\nLION\r\nTIGER\r\nZEBRA\r\n");
        QTest::newRow("edit") << "edit" << QByteArray("BEAR\r\nLION\r\nTIGER\r\nYAK\r\n");
        QTest::newRow("delete") << "delete" << QByteArray("BEAR\r\nLION\r\nTIGER\r\n");
    }

    void changesByAnotherProgramAreKept()
    {
        QFETCH(QString, action);
        m_folder->writeList(QStringLiteral("Animals.lst"), {"APE", "LION"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        QCOMPARE(entries(lobby.listWords), QStringList({"APE", "LION"}));
        // An editor rewrites the list while the lobby shows it.
        m_folder->writeList(QStringLiteral("Animals.lst"), {"APE", "BEAR", "LION", "TIGER"});

        selectWord(lobby, QStringLiteral("APE"));
        if (action == QLatin1String("add")) {
            dialogs.queueInput(QStringLiteral("zebra"));
            lobby.cmdAddWord_Click();
        } else if (action == QLatin1String("edit")) {
            dialogs.queueInput(QStringLiteral("yak"));
            lobby.cmdEditWord_Click();
            QCOMPARE(current(lobby.listWords), QStringLiteral("YAK"));
        } else {
            dialogs.queueMessage(MsgAnswer::Yes);
            lobby.cmdDeleteWord_Click();
        }
        QTEST(m_folder->bytes(QStringLiteral("Animals.lst")), "expected");
        // The lobby shows what the file now holds.
        QCOMPARE(entries(lobby.listWords).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"),
                 QString::fromLatin1(m_folder->bytes(QStringLiteral("Animals.lst"))));
    }

    void quitAsksFirst_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Esc") << false;
        QTest::newRow("close box") << true;
    }

    void quitAsksFirst()
    {
        QFETCH(bool, closeBox);
        m_folder->writeList(QStringLiteral("PETS.lst"), {"APE", "LION"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        selectWord(lobby, QStringLiteral("LION"));
        auto ask = [&] {
            if (closeBox)
                lobby.close();
            else
                QTest::keyClick(lobby.listWords, Qt::Key_Escape);
        };

        dialogs.queueMessage(MsgAnswer::No);
        ask();
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Confirm"));
        QCOMPARE(dialogs.last().text, QStringLiteral("Are you sure you wish to quit?"));
        QCOMPARE(dialogs.last().buttons, MsgButtons::YesNo);
        QCOMPARE(dialogs.last().icon, MsgIcon::Question);
        QCOMPARE(dialogs.last().defaultButton, 1);
        QCOMPARE(loadedForm<frmLobby>(), &lobby);
        QVERIFY(lobby.isVisible());
        QCOMPARE(current(lobby.listWords), QStringLiteral("LION"));

        dialogs.queueMessage(MsgAnswer::Yes);
        ask();
        QCOMPARE(dialogs.count(), 2);
        QCOMPARE(loadedForm<frmLobby>(), nullptr);
        recoverFromProgramEnd();
        QCOMPARE(m_folder->bytes(QStringLiteral("PETS.lst")), QByteArray("APE\r\nLION\r\n"));
    }

    void f1OpensTheLobbyTopic()
    {
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        QTest::keyClick(lobby.listCategories, Qt::Key_F1);
        QCOMPARE(m_helpTopics, QList<int>{3});
        lobby.cmdHelp->click();
        QCOMPARE(m_helpTopics, QList<int>({3, 3}));
    }

    void makingAPuzzleHandsOverTheList_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("button") << false;
        QTest::newRow("double-click on the category") << true;
    }

    void makingAPuzzleHandsOverTheList()
    {
        QFETCH(bool, doubleClick);
        m_folder->writeList(QStringLiteral("PETS.lst"), {"ZEBRA", "APE", "HAMSTER"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        if (doubleClick) {
            const QRect row = lobby.listCategories->visualItemRect(lobby.listCategories->item(0));
            QTest::mouseClick(lobby.listCategories->viewport(), Qt::LeftButton, {}, row.center());
            QTest::mouseDClick(lobby.listCategories->viewport(), Qt::LeftButton, {}, row.center());
        } else {
            lobby.cmdMakePuzzle->click();
        }
        frmPuzzle *puzzle = loadedForm<frmPuzzle>();
        QVERIFY(puzzle);
        QVERIFY(puzzle->isVisible());
        QVERIFY(!lobby.isVisible());
        QCOMPARE(puzzle->category(), QStringLiteral("PETS"));
        QCOMPARE(puzzle->words(), QStringList({"HAMSTER", "ZEBRA", "APE"}));

        puzzle->cmdLobby_Click();
        QCOMPARE(loadedForm<frmPuzzle>(), nullptr);
        QVERIFY(lobby.isVisible());
        QCOMPARE(current(lobby.listCategories), QStringLiteral("PETS"));
        QCOMPARE(entries(lobby.listWords), QStringList({"APE", "HAMSTER", "ZEBRA"}));
        QCOMPARE(dialogs.count(), 0);
    }

    void withFadingThePuzzleWindowIsModal()
    {
        m_folder->writeList(QStringLiteral("PETS.lst"), {"APE", "HAMSTER"});
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        modFadeInOut::FadeActive = true;
        int alphaBehind = -1;
        bool modal = false;
        // Runs while the puzzle window is up (the click below returns only once it has gone).
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            frmPuzzle *puzzle = loadedForm<frmPuzzle>();
            if (!puzzle || !puzzle->isVisible())
                return;
            poll.stop();
            modal = puzzle->isShownModal();
            alphaBehind = lobby.fadeRequest.currentAlpha;
            QCOMPARE(puzzle->category(), QStringLiteral("PETS"));
            puzzle->cmdLobby_Click();
        });
        poll.start(5);
        lobby.cmdMakePuzzle->click();
        QVERIFY(modal);
        // The lobby stayed loaded and had faded out completely; now it fades back in.
        QCOMPARE(alphaBehind, 0);
        QCOMPARE(lobby.fadeRequest.endAlpha, quint8(255));
        lobby.WaitForFade();
        QCOMPARE(lobby.fadeRequest.currentAlpha, qint16(255));
        QVERIFY(lobby.isEnabled());
        QCOMPARE(loadedForm<frmPuzzle>(), nullptr);
    }

    void quittingWithFading_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }

    void quittingWithFading()
    {
        QFETCH(bool, yes);
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        modFadeInOut::FadeActive = true;
        int alphaWhileAsking = -1;
        dialogs.setOnShow(
            [&](const ScriptedDialogs::Call &) { alphaWhileAsking = lobby.fadeRequest.currentAlpha; });
        dialogs.queueMessage(yes ? MsgAnswer::Yes : MsgAnswer::No);
        QTest::keyClick(&lobby, Qt::Key_Escape);
        QCOMPARE(alphaWhileAsking, 204);
        if (yes) {
            QTRY_COMPARE(loadedForm<frmLobby>(), nullptr);
            recoverFromProgramEnd();
        } else {
            lobby.WaitForFade();
            QCOMPARE(lobby.fadeRequest.currentAlpha, qint16(255));
            QCOMPARE(loadedForm<frmLobby>(), &lobby);
        }
    }

    void emailToAFriend()
    {
        ScriptedDialogs dialogs;
        RecordingLinkOpener opener;
        frmLobby &lobby = openLobby();
        QCOMPARE(lobby.cmdEmailFriend->toolTip(), QStringLiteral(" Email a friend about this game! "));
        lobby.cmdEmailFriend->click();
        QCOMPARE(opener.links, QStringList{QStringLiteral("mailto:") + EmailFriendText()});
        QCOMPARE(dialogs.count(), 0);

        opener.succeed = false;
        dialogs.queueMessage(MsgAnswer::Ok);
        lobby.cmdEmailFriend->click();
        QCOMPARE(opener.links.size(), 2);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Error"));
        QCOMPARE(dialogs.last().text, QStringLiteral("Could not establish an internet connection!"));
        QCOMPARE(loadedForm<frmLobby>(), &lobby);
    }

    void fadeSwitch()
    {
        // A system without translucent windows stores "False" at every load.
        basBrivamo::writeBoolSetting(basBrivamo::KeyFadeStatus, true);
        ScriptedDialogs dialogs;
        frmLobby &lobby = openLobby();
        QVERIFY(!modFadeInOut::FadeActive);
        QCOMPARE(basBrivamo::ReadSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection,
                                         basBrivamo::KeyFadeStatus),
                 QStringLiteral("False"));

        lobby.cmdFadeStatus_MouseMove();
        QCOMPARE(lobby.cmdFadeStatus->toolTip(), QStringLiteral(" Enable form fade effects "));
        lobby.cmdFadeStatus_Click();
        QVERIFY(modFadeInOut::FadeActive);
        QCOMPARE(basBrivamo::ReadSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection,
                                         basBrivamo::KeyFadeStatus),
                 QStringLiteral("True"));
        lobby.cmdFadeStatus_MouseMove();
        QCOMPARE(lobby.cmdFadeStatus->toolTip(), QStringLiteral(" Disable form fade effects "));
        lobby.cmdFadeStatus_Click();
        QVERIFY(!modFadeInOut::FadeActive);
        QVERIFY(!basBrivamo::readFadeStatus());
    }
};

QTEST_MAIN(TestFrmLobby)
#include "tst_frm_lobby.moc"
