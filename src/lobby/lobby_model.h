#pragma once

#include "wordlists/word_list.h"

#include <QDir>
#include <QString>
#include <QStringList>

// The lobby without its window: the catalogue and the selected category's words as the two list
// boxes show them, the mode, which editing buttons are on offer, and the editing flows with their
// prompts. The window shows what this holds and forwards its events here; every prompt and
// message goes through the dialogs seam.

namespace brivamo {

// Position (0-based) in the catalogue of the category whose words were loaded last. It outlives
// the lobby's catalogue reloads and restores the selection by position, not by name.
extern qint16 LastCategoryIndex;

// Inserts `entry` into `list`, which is kept sorted ascending without regard to letter case, after
// any entries that compare equal; returns its position.
int insertSorted(QStringList &list, const QString &entry);
// Sorts `words` ascending without regard to letter case; equal entries keep their order.
void sortWords(QStringList &words);

// The lobby's button that Enter presses.
enum class LobbyDefault { None, MakePuzzle, NewAdd, NewSave };
// The control that should hold the keyboard focus after a step, if any.
enum class LobbyFocus { None, Categories, NewAdd };

// What the lobby's controls offer; "shown" means visible.
struct LobbyControls
{
    bool addCategoryShown = true;
    bool newAddShown = false;
    bool newAddEnabled = true;
    bool newSaveShown = false;
    bool newSaveEnabled = true;
    bool newCancelShown = false;
    bool newCancelEnabled = true;
    bool categoriesShown = true;
    bool categoriesEnabled = true;
    bool deleteCategoryShown = true;
    bool addWordShown = false;
    bool editWordShown = false;
    bool deleteWordShown = false;
    bool makePuzzleShown = true;
    LobbyDefault defaultButton = LobbyDefault::None;
};

class LobbyModel
{
public:
    // The lists live in `folder` (the working directory by default).
    explicit LobbyModel(const QDir &folder = QDir());

    const QDir &folder() const { return m_folder; }

    bool browsing() const { return m_browsing; }
    bool creating() const { return m_creating; }

    // The category list box: entries in display order and the selected row (-1: none).
    const QStringList &categories() const { return m_categories; }
    int currentCategory() const { return m_currentCategory; }
    QString selectedCategory() const;
    // The word list box.
    const QStringList &words() const { return m_words; }
    int currentWord() const { return m_currentWord; }
    QString selectedWord() const;

    QString labelCategory() const { return m_labelCategory; }
    QString labelWords() const { return m_labelWords; }
    const LobbyControls &controls() const { return m_controls; }

    // The focus request of the last step; reading it clears it.
    LobbyFocus takeFocusRequest();

    // Applies the mode given by the two flags; Browsing reloads the catalogue from the folder and
    // selects the entry at LastCategoryIndex (the last entry when the catalogue has shrunk below it).
    void ShowLobbyMode();
    void LoadCategories();
    void LoadWords();

    // The user selected a row of a list box.
    void listCategories_click(int row);
    void selectWord(int row);

    // Editing flows.
    void cmdAddCategory_Click();
    void cmdNewAdd_Click();
    void cmdNewSave_Click();
    void cmdNewCancel_Click();
    void cmdDeleteCategory_Click();
    void cmdAddWord_Click();
    void cmdEditWord_Click();
    void cmdDeleteWord_Click();

    // Sets both flags (first activation enters Browsing this way).
    void setMode(bool browsing);

    // True when the selected category's file could not be read.
    bool readFailed() const { return m_readFailed; }

    // Failures of the last steps wait here, so the window can show its new state before telling
    // the user; showMessages() shows them (through the dialogs seam) and clears them.
    QStringList takeMessages();
    bool hasMessages() const { return !m_messages.isEmpty(); }
    void showMessages();

private:
    // Keeps the store's reason for a failed operation for showMessages().
    void reportFailure(const QString &error);
    // Applies a change to the selected category's words as its file holds them now (a null
    // `removed` or `added` means none), writes them and reloads. On failure reports it and reloads
    // the lobby from the folder. Returns whether the write succeeded.
    bool changeWords(const QString &removed, const QString &added);
    void showCreatingMode();
    void showBrowsingMode();
    void updateWordButtons();

    QDir m_folder;
    bool m_browsing = false;
    bool m_creating = false;
    QStringList m_categories;
    int m_currentCategory = -1;
    QStringList m_words;
    int m_currentWord = -1;
    QString m_labelCategory;
    QString m_labelWords;
    LobbyControls m_controls;
    LobbyFocus m_focus = LobbyFocus::None;
    bool m_readFailed = false;
    QStringList m_messages;
};

} // namespace brivamo
