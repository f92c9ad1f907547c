#pragma once

#include "wordlists/word_list.h"

#include <QDir>
#include <QLocale>
#include <QStringList>

namespace brivamo {

// Resource paths of the word lists that come with the program (besides the weekday list, which
// the store writes itself), each a list file as the lobby writes them.
QStringList ShippedListResources();

// The words of the weekday list the lobby writes: the day names of `locale`, upper-cased there,
// when a puzzle can be made of them, otherwise the English ones. Languages without capital
// letters, or whose names hold spaces or hyphens, would give a list no puzzle accepts.
QStringList WeekdayListWords(const QLocale &locale = QLocale());

// Copies the lists that come with the program into `folder` when it holds no list file at all,
// so a first start offers them next to the weekday list. A folder that already holds a list is
// left untouched, and no existing file is ever replaced.
StoreStatus InstallShippedLists(const QDir &folder = QDir());

} // namespace brivamo
