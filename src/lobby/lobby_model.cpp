#include "lobby/lobby_model.h"

#include "base/app_info.h"
#include "lobby/lobby_texts.h"
#include "lobby/shipped_lists.h"
#include "platform/dialogs.h"
#include "wordlists/validation.h"

#include <algorithm>

namespace brivamo {

qint16 LastCategoryIndex = 0;

namespace {

bool lessIgnoringCase(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// ValidateEntry, showing its message when the entry is refused.
bool entryAccepted(const QString &entry, qint16 shortest, qint16 longest)
{
    const modSupport::EntryVerdict verdict = modSupport::ValidateEntry(entry, shortest, longest);
    if (!verdict.valid)
        dialogs().MsgBox(verdict.text, MsgButtons::OkOnly, MsgIcon::Critical, verdict.caption);
    return verdict.valid;
}

} // namespace

void sortWords(QStringList &words)
{
    // Stable: entries that compare equal keep their order, as one insertion after another would.
    std::stable_sort(words.begin(), words.end(), lessIgnoringCase);
}

int insertSorted(QStringList &list, const QString &entry)
{
    const auto at = std::upper_bound(list.begin(), list.end(), entry, lessIgnoringCase);
    const int index = int(at - list.begin());
    list.insert(index, entry);
    return index;
}

LobbyModel::LobbyModel(const QDir &folder) : m_folder(folder) {}

QString LobbyModel::selectedCategory() const
{
    return m_currentCategory >= 0 && m_currentCategory < m_categories.size()
               ? m_categories.at(m_currentCategory)
               : QString();
}

QString LobbyModel::selectedWord() const
{
    return m_currentWord >= 0 && m_currentWord < m_words.size() ? m_words.at(m_currentWord) : QString();
}

LobbyFocus LobbyModel::takeFocusRequest()
{
    return std::exchange(m_focus, LobbyFocus::None);
}

void LobbyModel::setMode(bool browsing)
{
    m_browsing = browsing;
    m_creating = !browsing;
}

void LobbyModel::ShowLobbyMode()
{
    if (m_browsing)
        showBrowsingMode();
    else if (m_creating)
        showCreatingMode();
}

void LobbyModel::showBrowsingMode()
{
    LoadCategories();
    m_controls.addCategoryShown = m_categories.size() < modSupport::MaxCategoriesForCreate;
    m_controls.newAddShown = false;
    m_controls.newSaveShown = false;
    m_controls.newCancelShown = false;
    m_controls.categoriesEnabled = true;
    // Lists removed by other programs can leave the remembered position beyond the end: the
    // nearest existing entry, the last one, is selected then.
    const int wanted = std::max<int>(0, LastCategoryIndex);
    m_currentCategory = m_categories.isEmpty() ? -1 : std::min<int>(wanted, int(m_categories.size()) - 1);
    m_focus = LobbyFocus::Categories;
    LoadWords();
    m_controls.defaultButton = LobbyDefault::MakePuzzle;
}

void LobbyModel::showCreatingMode()
{
    m_controls.addCategoryShown = false;
    m_controls.newAddShown = true;
    m_controls.newAddEnabled = true;
    m_controls.defaultButton = LobbyDefault::NewAdd;
    m_controls.newSaveShown = true;
    m_controls.newSaveEnabled = false;
    m_controls.newCancelShown = true;
    m_controls.newCancelEnabled = true;
    m_labelCategory.clear();
    m_categories.clear();
    m_currentCategory = -1;
    m_controls.categoriesShown = false;
    m_controls.deleteCategoryShown = false;
    m_labelWords.clear();
    m_words.clear();
    m_currentWord = -1;
    m_controls.addWordShown = false;
    m_controls.editWordShown = false;
    m_controls.deleteWordShown = false;
    m_controls.makePuzzleShown = false;
}

void LobbyModel::LoadCategories()
{
    m_controls.categoriesShown = true;
    m_categories.clear();
    // A folder without any list gets the lists that come with the program. Should that fail, the
    // catalogue below still holds the weekday list, or reports why it could not be made.
    InstallShippedLists(m_folder);
    const CatalogueResult catalogue = modSupport::ListCategories(m_folder, WeekdayListWords());
    m_categories = catalogue.names;
    std::stable_sort(m_categories.begin(), m_categories.end(), lessIgnoringCase);
    if (m_currentCategory >= m_categories.size())
        m_currentCategory = -1;
    m_labelCategory = lobbytext::categoriesLabel(m_categories.size());
    if (!catalogue.ok())
        reportFailure(catalogue.error);
}

void LobbyModel::LoadWords()
{
    m_words.clear();
    m_currentWord = -1;
    m_readFailed = false;
    const QString category = selectedCategory();
    QString failure;
    if (!category.isEmpty()) {
        WordListResult read = modSupport::ReadWordList(category, m_folder);
        if (read.ok()) {
            m_words = std::move(read.list.words);
            sortWords(m_words);
        } else {
            failure = read.error;
            // An empty file holds nothing that a first word could overwrite.
            m_readFailed = !read.empty;
        }
    }
    m_labelWords = m_readFailed ? lobbytext::UnreadableWordsLabel : lobbytext::wordsLabel(m_words.size());
    if (!m_words.isEmpty())
        m_currentWord = 0;
    if (m_currentCategory >= 0)
        LastCategoryIndex = qint16(m_currentCategory);
    updateWordButtons();
    if (!failure.isEmpty())
        reportFailure(failure);
}

void LobbyModel::updateWordButtons()
{
    const qsizetype count = m_words.size();
    const QString category = selectedCategory();
    // A list whose file could not be read offers no change to its words: writing would replace
    // whatever the file holds with what little the lobby knows.
    m_controls.addWordShown = !category.isEmpty() && !m_readFailed && count < modSupport::MaxWordsPerList;
    m_controls.deleteWordShown = !m_readFailed && count >= 2;
    // A list that could not be read shows no words: there is nothing to edit or to make a puzzle of.
    m_controls.editWordShown = count > 0;
    m_controls.deleteCategoryShown = !category.isEmpty();
    m_controls.makePuzzleShown = count > 0;
    if (modSupport::IsBuiltInList(category)) {
        m_controls.deleteCategoryShown = false;
        m_controls.addWordShown = false;
        m_controls.editWordShown = false;
        m_controls.deleteWordShown = false;
    }
}

void LobbyModel::listCategories_click(int row)
{
    if (row < 0 || row >= m_categories.size())
        return;
    m_currentCategory = row;
    LoadWords();
}

void LobbyModel::selectWord(int row)
{
    if (row >= -1 && row < m_words.size())
        m_currentWord = row;
}

void LobbyModel::reportFailure(const QString &error)
{
    m_messages.append(error);
}

QStringList LobbyModel::takeMessages()
{
    return std::exchange(m_messages, {});
}

void LobbyModel::showMessages()
{
    for (const QString &message : takeMessages())
        dialogs().MsgBox(message, MsgButtons::OkOnly, MsgIcon::Critical, lobbytext::FileErrorCaption);
}

bool LobbyModel::changeWords(const QString &removed, const QString &added)
{
    // Another program may have changed the file since the lobby read it: the change applies to
    // what the file holds now, so nobody else's words are lost.
    const QString category = selectedCategory();
    const WordListResult current = modSupport::ReadWordList(category, m_folder);
    if (!current.ok() && !current.empty) {
        reportFailure(current.error);
        ShowLobbyMode();
        return false;
    }
    QStringList words = current.list.words;
    if (!removed.isNull()) {
        const qsizetype at = words.indexOf(removed);
        if (at >= 0)
            words.removeAt(at);
    }
    if (!added.isNull())
        words.append(added);
    sortWords(words);
    const StoreStatus written = modSupport::WriteWordList(category, words, m_folder);
    if (!written.ok()) {
        reportFailure(written.error);
        // Show what the folder really holds after the failure.
        ShowLobbyMode();
        return false;
    }
    LoadWords();
    return true;
}

// --- Creating a new list ---------------------------------------------------------------------------

void LobbyModel::cmdAddCategory_Click()
{
    setMode(false);
    ShowLobbyMode();
    cmdNewAdd_Click();
}

void LobbyModel::cmdNewAdd_Click()
{
    if (!m_creating || m_words.size() >= modSupport::MaxWordsPerList)
        return;
    const QString answer = dialogs().InputBox(lobbytext::WordPrompt, lobbytext::NewWordCaption);
    if (answer.isEmpty() || !entryAccepted(answer, modSupport::WordMinLength, modSupport::WordMaxLength))
        return;
    insertSorted(m_words, answer.toUpper());
    m_labelWords = lobbytext::newWordsLabel(m_words.size());
    m_controls.newSaveEnabled = true;
    if (m_words.size() < modSupport::MaxWordsPerList) {
        m_controls.newAddEnabled = true;
        m_focus = LobbyFocus::NewAdd;
    } else {
        m_controls.newAddEnabled = false;
        m_controls.defaultButton = LobbyDefault::NewSave;
    }
}

void LobbyModel::cmdNewSave_Click()
{
    if (!m_creating || m_words.isEmpty())
        return;
    const QString answer = dialogs().InputBox(lobbytext::NewNamePrompt, lobbytext::NewNameCaption);
    if (answer.isEmpty() ||
        !entryAccepted(answer, modSupport::CategoryMinLength, modSupport::CategoryMaxLength))
        return;
    const QString name = answer.toUpper();
    if (modSupport::WordListExists(name, m_folder)) {
        dialogs().MsgBox(modSupport::DuplicateEntryText, MsgButtons::OkOnly, MsgIcon::Critical,
                         modSupport::DuplicateEntryCaption);
        return;
    }
    const StoreStatus written = modSupport::WriteWordList(name, m_words, m_folder);
    if (!written.ok()) {
        // The store replaces files atomically, so nothing was saved: the user keeps the new words
        // and may try another name or cancel.
        reportFailure(written.error);
        return;
    }
    cmdNewCancel_Click();
}

void LobbyModel::cmdNewCancel_Click()
{
    setMode(true);
    ShowLobbyMode();
}

// --- Editing the selected list ---------------------------------------------------------------------

void LobbyModel::cmdDeleteCategory_Click()
{
    const QString category = selectedCategory();
    if (!m_browsing || category.isEmpty())
        return;
    const MsgAnswer answer = dialogs().MsgBox(lobbytext::deleteCategoryQuestion(category), MsgButtons::YesNo,
                                              MsgIcon::Question, lobbytext::DeleteCategoryCaption, 2);
    if (answer != MsgAnswer::Yes)
        return;
    const StoreStatus removed = modSupport::DeleteWordList(category, m_folder);
    if (!removed.ok())
        reportFailure(removed.error);
    else if (m_categories.size() == LastCategoryIndex + 1)
        --LastCategoryIndex;
    ShowLobbyMode();
}

void LobbyModel::cmdAddWord_Click()
{
    if (!m_browsing || selectedCategory().isEmpty())
        return;
    for (;;) {
        const QString answer = dialogs().InputBox(lobbytext::WordPrompt, lobbytext::AddWordCaption);
        if (answer.isEmpty())
            return;
        if (!entryAccepted(answer, modSupport::WordMinLength, modSupport::WordMaxLength))
            continue;
        changeWords(QString(), answer.toUpper());
        return;
    }
}

void LobbyModel::cmdEditWord_Click()
{
    const QString word = selectedWord();
    if (!m_browsing || word.isEmpty())
        return;
    for (;;) {
        const QString answer = dialogs().InputBox(lobbytext::editWordPrompt(word), AppTitle);
        if (answer.isEmpty())
            return;
        if (!entryAccepted(answer, modSupport::WordMinLength, modSupport::WordMaxLength))
            continue;
        const QString changed = answer.toUpper();
        // The changed word stays selected; equal words sort in the order they were added, so it
        // is the last of its spelling.
        if (changeWords(word, changed))
            m_currentWord = int(m_words.lastIndexOf(changed));
        return;
    }
}

void LobbyModel::cmdDeleteWord_Click()
{
    const QString word = selectedWord();
    if (!m_browsing || word.isEmpty())
        return;
    const MsgAnswer answer = dialogs().MsgBox(lobbytext::deleteWordQuestion(word), MsgButtons::YesNo,
                                              MsgIcon::Question, lobbytext::DeleteWordCaption, 2);
    if (answer == MsgAnswer::Yes)
        changeWords(word, QString());
    else
        LoadWords();
}

} // namespace brivamo
