#pragma once

#include <QApplication>
#include <QStringList>

#include <memory>
#include <random>

// Widgets need an application object; without a display the offscreen platform serves.
inline void ensureApplication()
{
    static std::unique_ptr<QApplication> application;
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "brivamo_bench";
    static char *argv[] = {name, nullptr};
    application = std::make_unique<QApplication>(argc, argv);
}

// `count` words of 3 to 20 capital letters from a fixed random sequence.
inline QStringList randomWords(int count)
{
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> length(3, 20);
    std::uniform_int_distribution<int> letter('A', 'Z');
    QStringList words;
    words.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString word(length(random), u'A');
        for (QChar &c : word)
            c = QChar(letter(random));
        words << word;
    }
    return words;
}
