#include "app/make_options.h"

#include "platform/file_names.h"

#include <functional>
#include <limits>

namespace brivamo {

namespace {

// One argument as the program got it and as text.
struct Argument
{
    QByteArray bytes;
    QString text;
};

// Each option is one row: its name, whether a value follows, and how it lands in the options.
// A new option is a new row (and a field in MakeOptions).
struct OptionRule
{
    QLatin1StringView name;
    bool takesValue;
    std::function<QString(MakeOptions &, const Argument &)> apply;
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

const QList<OptionRule> &optionRules()
{
    static const QList<OptionRule> rules{
        {QLatin1StringView("--make"), true,
         [](MakeOptions &o, const Argument &value) {
             if (value.text.contains(u'/') || value.text.contains(u'\\') || value.text.contains(QChar(0)))
                 return QStringLiteral("\"%1\" is not a category name.").arg(value.text);
             o.category = value.text;
             return QString();
         }},
        {QLatin1StringView("--size"), true,
         [](MakeOptions &o, const Argument &value) {
             qint64 n = 0;
             // The bounds against the list's longest word are checked once it is read.
             QString error =
                 parseWholeNumber(QStringLiteral("--size"), value.text, 1, PuzzleGrid::MaxSide, n);
             o.side = static_cast<int>(n);
             return error;
         }},
        {QLatin1StringView("--count"), true,
         [](MakeOptions &o, const Argument &value) {
             qint64 n = 0;
             QString error = parseWholeNumber(QStringLiteral("--count"), value.text, 1, 1000000, n);
             o.count = static_cast<int>(n);
             return error;
         }},
        {QLatin1StringView("--seed"), true,
         [](MakeOptions &o, const Argument &value) {
             qint64 n = 0;
             QString error = parseWholeNumber(QStringLiteral("--seed"), value.text, 0,
                                              std::numeric_limits<std::uint32_t>::max(), n);
             if (error.isEmpty())
                 o.seed = static_cast<std::uint32_t>(n);
             return error;
         }},
        {QLatin1StringView("--quiet"), false,
         [](MakeOptions &o, const Argument &) {
             o.quiet = true;
             return QString();
         }},
        {QLatin1StringView("--pdf"), true,
         [](MakeOptions &o, const Argument &value) {
             if (value.bytes.isEmpty())
                 return QStringLiteral("--pdf needs a file name.");
             o.pdf = value.bytes;
             return QString();
         }},
        {QLatin1StringView("--png"), true,
         [](MakeOptions &o, const Argument &value) {
             if (value.bytes.isEmpty())
                 return QStringLiteral("--png needs a file name.");
             o.png = value.bytes;
             return QString();
         }},
        {QLatin1StringView("--svg"), true,
         [](MakeOptions &o, const Argument &value) {
             if (value.bytes.isEmpty())
                 return QStringLiteral("--svg needs a file name.");
             o.svg = value.bytes;
             return QString();
         }},
        {QLatin1StringView("--print"), false,
         [](MakeOptions &o, const Argument &) {
             o.print = true;
             return QString();
         }},
        {QLatin1StringView("--printer"), true,
         [](MakeOptions &o, const Argument &value) {
             o.printer = value.text;
             return QString();
         }},
        {QLatin1StringView("--solution"), false,
         [](MakeOptions &o, const Argument &) {
             o.solution = true;
             return QString();
         }},
        {QLatin1StringView("--message"), true,
         [](MakeOptions &o, const Argument &value) {
             o.message = value.text.trimmed();
             return QString();
         }},
        {QLatin1StringView("--dedication"), true,
         [](MakeOptions &o, const Argument &value) {
             o.dedication = value.text.trimmed();
             return QString();
         }},
        {QLatin1StringView("--level"), true,
         [](MakeOptions &o, const Argument &value) {
             const std::optional<PuzzleLevel> level = LevelFromOption(value.text);
             if (!level)
                 return QStringLiteral("--level needs easy, medium or hard, not \"%1\".").arg(value.text);
             o.level = *level;
             return QString();
         }},
        {QLatin1StringView("--key"), true,
         [](MakeOptions &o, const Argument &value) {
             if (value.text == QLatin1String("dots"))
                 o.style.answerKey = AnswerKey::Dots;
             else if (value.text == QLatin1String("outline"))
                 o.style.answerKey = AnswerKey::Outline;
             else
                 return QStringLiteral("--key needs dots or outline, not \"%1\".").arg(value.text);
             return QString();
         }},
        {QLatin1StringView("--large-print"), false,
         [](MakeOptions &o, const Argument &) {
             o.style.largePrint = true;
             return QString();
         }},
        {QLatin1StringView("--paper"), true,
         [](MakeOptions &o, const Argument &value) {
             if (value.text == QLatin1String("a4"))
                 o.paper = Paper::A4;
             else if (value.text == QLatin1String("letter"))
                 o.paper = Paper::Letter;
             else
                 return QStringLiteral("--paper needs a4 or letter, not \"%1\".").arg(value.text);
             return QString();
         }},
    };
    return rules;
}

const OptionRule *ruleFor(const QByteArray &argument)
{
    for (const OptionRule &rule : optionRules())
        if (argument == QByteArrayView(rule.name.data(), rule.name.size()))
            return &rule;
    return nullptr;
}

QString unexpectedArgument(const QString &argument)
{
    return QStringLiteral("Unexpected argument \"%1\".").arg(argument);
}

} // namespace

bool MakeOptionTakesValue(const QByteArray &argument)
{
    const OptionRule *rule = ruleFor(argument);
    return rule && rule->takesValue;
}

QString ParseMakeArguments(const QList<QByteArray> &arguments, MakeOptions &options)
{
    bool categoryGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        const QString text = DecodeFileName(argument);
        if (argument == "--") {
            if (i + 1 < arguments.size())
                return unexpectedArgument(DecodeFileName(arguments[i + 1]));
            break;
        }
        const OptionRule *rule = ruleFor(argument);
        if (!rule)
            return argument.startsWith('-') && argument.size() > 1
                       ? QStringLiteral("Unknown option %1.").arg(text)
                       : unexpectedArgument(text);
        Argument value;
        if (rule->takesValue) {
            if (i + 1 >= arguments.size())
                return QStringLiteral("%1 needs a value.").arg(text);
            value.bytes = arguments[++i];
            value.text = DecodeFileName(value.bytes);
        }
        if (QString error = rule->apply(options, value); !error.isEmpty())
            return error;
        categoryGiven = categoryGiven || argument == "--make";
    }
    if (!categoryGiven || options.category.isEmpty())
        return QStringLiteral("--make needs a category name.");
    if (options.print && !options.pdf.isEmpty())
        return QStringLiteral("Choose either --print or --pdf FILE.");
    if (!options.print && !options.printer.isEmpty())
        return QStringLiteral("--printer needs --print.");
    if (!WantsPages(options) && (options.solution || !options.dedication.isEmpty()))
        return QStringLiteral(
            "--solution and --dedication need --pdf FILE, --png FILE, --svg FILE or --print.");
    if (!WantsPages(options) && (options.style.largePrint || options.style.answerKey != AnswerKey::Dots))
        return QStringLiteral("--key and --large-print need --pdf FILE, --png FILE, --svg FILE or --print.");
    if (options.pdf.isEmpty() && options.png.isEmpty() && options.svg.isEmpty() &&
        options.paper != Paper::Locale)
        return QStringLiteral(
            "--paper needs --pdf FILE, --png FILE or --svg FILE; a printer keeps its own paper.");
    if (WantsPages(options) && options.count > MaxSetSize)
        return QStringLiteral("A set of puzzles to print holds at most %1 puzzles.").arg(MaxSetSize);
    return {};
}

bool WantsPages(const MakeOptions &options)
{
    return !options.pdf.isEmpty() || !options.png.isEmpty() || !options.svg.isEmpty() || options.print;
}

QByteArray PageImageFile(const QByteArray &file, int version, int versions, bool solution, int part)
{
    const qsizetype slash = file.lastIndexOf('/');
    qsizetype dot = file.lastIndexOf('.');
    if (dot <= slash + 1)
        dot = file.size();
    QByteArray mark;
    if (versions > 1)
        mark += '-' + QByteArray::number(version);
    if (solution)
        mark += "-solution";
    if (part > 1)
        mark += "-page" + QByteArray::number(part);
    return file.left(dot) + mark + file.mid(dot);
}

QList<std::pair<QString, QByteArray>> OutputFiles(const MakeOptions &options)
{
    QList<std::pair<QString, QByteArray>> files;
    if (!options.pdf.isEmpty())
        files.append({QStringLiteral("--pdf"), options.pdf});
    const int versions = WantsPages(options) ? options.count : 1;
    for (const auto &[option, file] :
         {std::pair{QStringLiteral("--png"), options.png}, std::pair{QStringLiteral("--svg"), options.svg}}) {
        if (file.isEmpty())
            continue;
        for (int version = 1; version <= versions; ++version)
            for (const bool solution : {false, true})
                if (!solution || options.solution)
                    files.append({option, PageImageFile(file, version, versions, solution)});
    }
    return files;
}

} // namespace brivamo
