#pragma once

#include "base/app_info.h"

#include <QString>

// The lobby's prompts and questions.
namespace brivamo::lobbytext {

inline const QString WordPrompt = QStringLiteral(
    "\r\n\r\nEnter a word from 3 to 20 characters long\r\n(using LETTERS ONLY-- no spaces or numbers)");
inline const QString NewWordCaption = QStringLiteral("Creating a New List of Words...");
inline const QString AddWordCaption = QStringLiteral("Add word to list");

inline const QString NewNameCaption = QStringLiteral("Category Name for this New List...");
inline const QString NewNamePrompt =
    QStringLiteral("Type a `Category' name that describes\r\nthis new word list (8 characters maximum)");

inline const QString DeleteCategoryCaption = QStringLiteral("Confirm Category Deletion");
inline const QString DeleteWordCaption = QStringLiteral("Confirm this Word Deletion");

inline const QString QuitCaption = QStringLiteral("Confirm");
inline const QString QuitQuestion = QStringLiteral("Are you sure you wish to quit?");

// Caption of the message that reports a list file that could not be read, written or removed.
inline const QString FileErrorCaption = QStringLiteral("Error");

inline QString editWordPrompt(const QString &word)
{
    return QStringLiteral("\r\nChange the current word\r\n\r\nfrom '") + word +
           QStringLiteral("'\r\n\r\nto...");
}

inline QString deleteCategoryQuestion(const QString &category)
{
    return QStringLiteral("Are you sure you want\r\nto delete the category \r\n\r\n") + category +
           QStringLiteral("\r\n\r\nand the words in this list?");
}

inline QString deleteWordQuestion(const QString &word)
{
    return QStringLiteral("Are you sure you want\r\nto delete the word\r\n\r\n") + word +
           QStringLiteral("\r\n\r\nfrom this word list?");
}

inline QString categoriesLabel(qsizetype count)
{
    return QStringLiteral("Categories (%1)").arg(count);
}

inline QString wordsLabel(qsizetype count)
{
    return QStringLiteral("Words in this Category (%1)").arg(count);
}

// Shown over the word list when the selected list's file could not be read.
inline const QString UnreadableWordsLabel = QStringLiteral("Words: list could not be read");

inline QString newWordsLabel(qsizetype count)
{
    return QStringLiteral("Words in this new list (%1)").arg(count);
}

} // namespace brivamo::lobbytext
