#include "puzzle/make_options.h"

#include <QFileInfo>

#include <functional>
#include <limits>

namespace brivamo {

namespace {

// Each option is one row: its name, whether a value follows, and how it lands in the options.
// A new option is a new row (and a field in MakeOptions).
struct OptionRule
{
    QLatin1StringView name;
    bool takesValue;
    std::function<QString(MakeOptions &, const QString &)> apply;
};

QString parseWholeNumber(const QString &option, const QString &value, qint64 lowest, qint64 highest,
                         qint64 &out)
{
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (!ok || number < lowest || number > highest)
        return QStringLiteral("%1 needs a whole number from %2 to %3, not \"%4\".")
            .arg(option)
            .arg(lowest)
            .arg(highest)
            .arg(value);
    out = number;
    return {};
}

// True when writing to `path` would replace a word list: its name, or the name of the file a
// link there leads to, ends in ".lst" (any letter case).
bool namesListFile(const QString &path)
{
    const auto isList = [](const QString &name) {
        return name.endsWith(QLatin1String(".lst"), Qt::CaseInsensitive);
    };
    const QFileInfo info(path);
    return isList(info.fileName()) ||
           (info.isSymLink() && isList(QFileInfo(info.symLinkTarget()).fileName()));
}

const QList<OptionRule> &optionRules()
{
    static const QList<OptionRule> rules{
        {QLatin1StringView("--make"), true,
         [](MakeOptions &o, const QString &value) {
             if (value.contains(u'/') || value.contains(u'\\') || value.contains(QChar(0)))
                 return QStringLiteral("\"%1\" is not a category name.").arg(value);
             o.category = value;
             return QString();
         }},
        {QLatin1StringView("--size"), true,
         [](MakeOptions &o, const QString &value) {
             qint64 n = 0;
             // The bounds against the list's longest word are checked once it is read.
             QString error = parseWholeNumber(QStringLiteral("--size"), value, 1, PuzzleGrid::MaxSide, n);
             o.side = static_cast<int>(n);
             return error;
         }},
        {QLatin1StringView("--count"), true,
         [](MakeOptions &o, const QString &value) {
             qint64 n = 0;
             QString error = parseWholeNumber(QStringLiteral("--count"), value, 1, 1000000, n);
             o.count = static_cast<int>(n);
             return error;
         }},
        {QLatin1StringView("--seed"), true,
         [](MakeOptions &o, const QString &value) {
             qint64 n = 0;
             QString error = parseWholeNumber(QStringLiteral("--seed"), value, 0,
                                              std::numeric_limits<std::uint32_t>::max(), n);
             if (error.isEmpty())
                 o.seed = static_cast<std::uint32_t>(n);
             return error;
         }},
        {QLatin1StringView("--quiet"), false,
         [](MakeOptions &o, const QString &) {
             o.quiet = true;
             return QString();
         }},
        {QLatin1StringView("--pdf"), true,
         [](MakeOptions &o, const QString &value) {
             if (value.isEmpty())
                 return QStringLiteral("--pdf needs a file name.");
             if (namesListFile(value))
                 return QStringLiteral("--pdf would overwrite the word list \"%1\"; name a PDF file.")
                     .arg(value);
             o.pdf = value;
             return QString();
         }},
        {QLatin1StringView("--print"), false,
         [](MakeOptions &o, const QString &) {
             o.print = true;
             return QString();
         }},
        {QLatin1StringView("--printer"), true,
         [](MakeOptions &o, const QString &value) {
             o.printer = value;
             return QString();
         }},
        {QLatin1StringView("--solution"), false,
         [](MakeOptions &o, const QString &) {
             o.solution = true;
             return QString();
         }},
        {QLatin1StringView("--message"), true,
         [](MakeOptions &o, const QString &value) {
             o.message = value.trimmed();
             return QString();
         }},
        {QLatin1StringView("--dedication"), true,
         [](MakeOptions &o, const QString &value) {
             o.dedication = value.trimmed();
             return QString();
         }},
    };
    return rules;
}

} // namespace

QString ParseMakeArguments(const QStringList &arguments, MakeOptions &options)
{
    bool categoryGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const OptionRule *rule = nullptr;
        for (const OptionRule &candidate : optionRules())
            if (argument == candidate.name)
                rule = &candidate;
        if (!rule)
            return argument.startsWith(QLatin1String("--"))
                       ? QStringLiteral("Unknown option %1.").arg(argument)
                       : QStringLiteral("Unexpected argument \"%1\".").arg(argument);
        QString value;
        if (rule->takesValue) {
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QLatin1String("--")))
                return QStringLiteral("%1 needs a value.").arg(argument);
            value = arguments[++i];
        }
        if (QString error = rule->apply(options, value); !error.isEmpty())
            return error;
        categoryGiven = categoryGiven || argument == QLatin1String("--make");
    }
    if (!categoryGiven || options.category.isEmpty())
        return QStringLiteral("--make needs a category name.");
    if (options.print && !options.pdf.isEmpty())
        return QStringLiteral("Choose either --print or --pdf FILE.");
    if (!options.print && !options.printer.isEmpty())
        return QStringLiteral("--printer needs --print.");
    if (options.pdf.isEmpty() && !options.print && (options.solution || !options.dedication.isEmpty()))
        return QStringLiteral("--solution and --dedication need --pdf FILE or --print.");
    if ((!options.pdf.isEmpty() || options.print) && options.count > MaxSetSize)
        return QStringLiteral("A set of puzzles to print holds at most %1 puzzles.").arg(MaxSetSize);
    return {};
}

} // namespace brivamo
