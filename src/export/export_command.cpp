#include "export/export_command.h"

#include "export/class_export.h"
#include "platform/config_store.h"
#include "platform/errors.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QStringList kRanges = {QStringLiteral("9"), QStringLiteral("20"), QStringLiteral("99"),
                             QStringLiteral("999")};

void Say(QIODevice& err, const QString& text)
{
    err.write((QStringLiteral("zelvo-export: ") + text + QLatin1Char('\n')).toUtf8());
}

QString Wrong(const QString& reason)
{
    return QStringLiteral("неверная командная строка / wrong command line: ") + reason;
}

// True when `path`, or the file it links to, would lie directly in `folder`.
bool LiesIn(const QString& path, const QString& folder)
{
    const QFileInfo file(path);
    const QString parent = file.exists() ? QFileInfo(file.canonicalFilePath()).path()
                                         : QFileInfo(file.absolutePath()).canonicalFilePath();
    const QString dir = QFileInfo(folder).canonicalFilePath();
    return !dir.isEmpty() && parent == dir;
}

// The whole file or, on failure, the old one (if any) untouched.
bool SaveOutput(const QString& path, const QByteArray& csv, QString& reason)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit())
        return true;
    reason = file.errorString();
    return false;
}

// The folder named on the command line, else the default one; empty after
// telling `err` why there is none.
QString ClassFolder(const ExportRequest& request, QIODevice& err)
{
    if (request.folder)
        return *request.folder;
    QString folder;
    try {
        folder = DefaultClassFolder();
    } catch (const StoreError& error) {
        Say(err, QStringLiteral("хранилище настроек / configuration store %1: %2")
                     .arg(MachineStorePath(), error.text()));
        return QString();
    }
    if (folder.isEmpty())
        Say(err, QStringLiteral("в хранилище настроек пустой \"PathUser\", укажите --folder / "
                                "the store's \"PathUser\" is empty, name the folder with --folder"));
    return folder;
}

} // namespace

std::optional<ExportRequest> ParseExportArguments(const QStringList& arguments, QString& error)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption folder(QStringLiteral("folder"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption separator(QStringLiteral("separator"), QString(), QStringLiteral("SEP"));
    const QCommandLineOption output(QStringLiteral("output"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption raw(QStringLiteral("raw"));
    parser.addOptions({help, folder, separator, output, raw});
    if (!parser.parse(arguments)) {
        error = Wrong(parser.errorText());
        return std::nullopt;
    }

    ExportRequest request;
    if (parser.isSet(help)) {
        request.help = true;
        return request;
    }
    const QStringList words = parser.positionalArguments();
    const QString command = words.value(0);
    if (command == QLatin1String("summary") && words.size() == 1) {
        request.summary = true;
    } else if (command == QLatin1String("records") && words.size() == 2 && kRanges.contains(words[1])) {
        request.rangeText = words[1];
    } else if (command == QLatin1String("records")) {
        error = Wrong(QStringLiteral("records 9|20|99|999"));
        return std::nullopt;
    } else {
        error = Wrong(command.isEmpty() ? QStringLiteral("records 9|20|99|999 | summary")
                                        : QStringLiteral("'%1'").arg(words.join(QLatin1Char(' '))));
        return std::nullopt;
    }

    if (parser.isSet(separator)) {
        const QString text = parser.value(separator);
        if (text != QLatin1String(";") && text != QLatin1String(",")) {
            error = Wrong(QStringLiteral("--separator ; | --separator ,"));
            return std::nullopt;
        }
        request.separator = text.at(0).toLatin1();
    }
    request.raw = parser.isSet(raw);
    if (parser.isSet(folder))
        request.folder = parser.value(folder);
    if (parser.isSet(output)) {
        if (parser.value(output).isEmpty()) {
            error = Wrong(QStringLiteral("--output FILE"));
            return std::nullopt;
        }
        request.output = parser.value(output);
    }
    return request;
}

QString ExportHelpText()
{
    return QStringLiteral(
        "Использование:\n"
        "  zelvo-export records 9|20|99|999 [параметры]\n"
        "  zelvo-export summary [параметры]\n"
        "Выгружает результаты класса в файл CSV (UTF-8) для электронной таблицы.\n"
        "  records N         таблица рекордов промежутка 0-N: строка на каждый результат\n"
        "                    в порядке записи (NikName, ФИО, Time, кол-во, Дата, Ошибок)\n"
        "  summary           сводная таблица: строка на каждого ученика по порядку ников\n"
        "                    (НИК, ФИО, Всего очков, Всего времени, Время - очков в минуту)\n"
        "Параметры:\n"
        "  --folder ПАПКА    папка класса; без него \"PathUser\" хранилища настроек,\n"
        "                    а если его нет - папка программы\n"
        "  --separator ;|,   разделитель полей, по умолчанию ;\n"
        "  --output ФАЙЛ     записать в файл, а не на стандартный вывод\n"
        "  --raw             ник и ФИО точно как хранятся; без него ник или ФИО,\n"
        "                    начинающиеся с = + - @, табуляции или возврата каретки,\n"
        "                    записываются с апострофом впереди, чтобы электронная\n"
        "                    таблица не приняла их за формулу (числа не меняются)\n"
        "  -h, --help        эта справка\n"
        "В папку класса ничего не записывается. Что не удалось прочитать, называется\n"
        "в стандартном потоке ошибок; остальное всё равно выгружается.\n"
        "Код выхода: 0 - всё выгружено; 1 - нет папки или таблицы, файл не прочитан\n"
        "или не записан; 2 - неверная командная строка.\n"
        "\n"
        "Usage:\n"
        "  zelvo-export records 9|20|99|999 [options]\n"
        "  zelvo-export summary [options]\n"
        "Exports a class's results as a CSV file (UTF-8) for a spreadsheet.\n"
        "  records N         the records table of the range 0-N: one row per result,\n"
        "                    in the order stored (NikName, ФИО, Time, кол-во, Дата, Ошибок)\n"
        "  summary           the summary table: one row per pupil, by nick\n"
        "                    (НИК, ФИО, Всего очков, Всего времени, Время - points per minute)\n"
        "Options:\n"
        "  --folder DIR      the class folder; without it the configuration store's\n"
        "                    \"PathUser\", and without that the program's folder\n"
        "  --separator ;|,   the field separator, ; by default\n"
        "  --output FILE     write to a file instead of standard output\n"
        "  --raw             nick and full name exactly as stored; without it a nick or\n"
        "                    full name beginning with = + - @, a tab or a carriage\n"
        "                    return gets a leading apostrophe, so that a spreadsheet\n"
        "                    does not run it as a formula (numbers stay as they are)\n"
        "  -h, --help        this help\n"
        "Nothing is written into the class folder. Whatever cannot be read is named on\n"
        "standard error; the rest is exported all the same.\n"
        "Exit status: 0 everything exported; 1 no folder or table, a file not read\n"
        "or not written; 2 a wrong command line.\n");
}

int RunExportCommand(const QStringList& arguments, QIODevice& out, QIODevice& err)
{
    QString error;
    const std::optional<ExportRequest> request = ParseExportArguments(arguments, error);
    if (!request) {
        Say(err, error);
        Say(err, QStringLiteral("справка / help: zelvo-export --help"));
        return kExitUsage;
    }
    if (request->help) {
        out.write(ExportHelpText().toUtf8());
        return kExitDone;
    }

    const QString folder = ClassFolder(*request, err);
    if (folder.isEmpty() && !request->folder)
        return kExitIncomplete;
    // Made absolute now: reading the folder may change the current folder.
    const QString output = request->output ? QFileInfo(*request->output).absoluteFilePath() : QString();
    if (!output.isEmpty() && LiesIn(output, folder)) {
        Say(err, QStringLiteral("в папку класса ничего не записывается / "
                                "nothing is written into the class folder: %1")
                     .arg(output));
        return kExitUsage;
    }

    const TextFields texts = request->raw ? TextFields::Raw : TextFields::ForSpreadsheet;
    const ExportResult result = request->summary
                                    ? ExportSummary(folder, request->separator, texts)
                                    : ExportRecords(folder, request->rangeText, request->separator, texts);
    for (const QString& warning : result.warnings)
        Say(err, warning);
    for (const QString& problem : result.errors)
        Say(err, problem);

    bool written = true;
    if (result.csv.isEmpty()) {
        // Nothing to write: no output file is made.
    } else if (output.isEmpty()) {
        written = out.write(result.csv) == result.csv.size();
    } else {
        QString reason;
        written = SaveOutput(output, result.csv, reason);
        if (!written)
            Say(err, QStringLiteral("не удалось записать / cannot write %1: %2").arg(output, reason));
    }
    return result.errors.isEmpty() && written ? kExitDone : kExitIncomplete;
}
