#include "export/export_command.h"

#include "accounts/password_digest.h"
#include "config/app_config.h"
#include "export/class_export.h"
#include "export/class_report.h"
#include "export/password_prompt.h"
#include "export/report_html.h"
#include "keeper/keeper_client.h"
#include "platform/atomic_file.h"
#include "platform/config_store.h"
#include "platform/errors.h"
#include "records/number_range.h"
#include "util/files.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFileInfo>

#include <memory>

namespace {

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

// Why an output file is refused, or empty when it may be written.
QString RefusalText(NewFileRefusal refusal, const QString& path)
{
    switch (refusal) {
    case NewFileRefusal::NotAFile:
        return QStringLiteral(
                   "файл вывода - не обычный файл / the output is not a regular file: %1")
            .arg(path);
    case NewFileRefusal::OtherAccount:
        return QStringLiteral(
                   "файл вывода принадлежит другой учётной записи, выберите другое имя / "
                   "the output file belongs to another account, choose another name: %1")
            .arg(path);
    case NewFileRefusal::None:
        break;
    }
    return QString();
}

// The class folder to read and, where the account may not list it, the
// keeper that reads it for the account after ADM's password.
struct ClassSource {
    QString folder; // empty: none, after telling why
    std::unique_ptr<KeeperClient> keeper;
};

// The keeper beside the program, started; none when there is none.
std::unique_ptr<KeeperClient> StartKeeper()
{
    if (ProgramFolder().isEmpty())
        InitProgramFolder();
    const QString program = KeeperProgram(ProgramFolder());
    return program.isEmpty() ? nullptr : KeeperClient::start(program);
}

QString StoreErrorText(const QString& error)
{
    return QStringLiteral("хранилище настроек / configuration store %1: %2")
        .arg(MachineStorePath(), error);
}

// True when the store stands there and cannot be read by this account (it is
// closed to accounts outside the keeper's group): its "PathUser" is unknown,
// and the program folder would be the wrong guess.
bool StoreClosed()
{
    bool readable = true;
    try {
        StoreKey::openRead(QString::fromLatin1(kConfigKey))
            .readString(QStringLiteral("PathUser"), readable);
    } catch (const StoreError&) {
        // A readable store; DefaultClassFolder tells the error.
    }
    return !readable;
}

// The store's class folder as the keeper reads it for the program; empty,
// after telling `err` why, when it cannot.
QString KeeperFolder(KeeperClient& keeper, QIODevice& err)
{
    StoredSettings stored;
    try {
        stored = keeper.readSettings();
    } catch (const ZelvoError& error) {
        Say(err, error.text());
        return QString();
    }
    if (!stored.error.isEmpty()) {
        Say(err, StoreErrorText(stored.error));
        return QString();
    }
    return stored.pathUser.value_or(ProgramFolder());
}

// The default class folder: "PathUser" of the store, else the program
// folder; where the store is closed to the account, as the keeper reads it.
// Empty after telling `err` why there is none.
QString DefaultFolder(std::unique_ptr<KeeperClient>& keeper, QIODevice& err)
{
    QString folder;
    if (StoreClosed()) {
        keeper = StartKeeper();
        if (!keeper) {
            Say(err, QStringLiteral("хранилище настроек не читается этой учётной записью, "
                                    "укажите --folder / this account cannot read the "
                                    "configuration store, name the folder with --folder: %1")
                         .arg(MachineStorePath()));
            return QString();
        }
        folder = KeeperFolder(*keeper, err);
        if (folder.isEmpty())
            return QString();
    } else {
        try {
            folder = DefaultClassFolder();
        } catch (const StoreError& error) {
            Say(err, StoreErrorText(error.text()));
            return QString();
        }
    }
    if (folder.isEmpty())
        Say(err,
            QStringLiteral("в хранилище настроек пустой \"PathUser\", укажите --folder / "
                           "the store's \"PathUser\" is empty, name the folder with --folder"));
    return folder;
}

bool SameFolder(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

// The folder named on the command line, else the default one; read through
// the keeper when the account may not list it and it is the keeper's class
// folder. Any other folder is read directly, and what cannot be read is named.
ClassSource ChooseClassSource(const ExportRequest& request, QIODevice& err)
{
    ClassSource source;
    source.folder = request.folder ? *request.folder : DefaultFolder(source.keeper, err);
    const QFileInfo folder(source.folder);
    if (source.folder.isEmpty() || !folder.isDir() ||
        (folder.isReadable() && folder.isExecutable())) {
        source.keeper.reset();
        return source;
    }
    if (!source.keeper)
        source.keeper = StartKeeper();
    if (source.keeper && source.keeper->classFolder()) {
        QBuffer quiet; // a keeper that cannot tell its folder is not used
        quiet.open(QIODevice::WriteOnly);
        if (SameFolder(source.folder, KeeperFolder(*source.keeper, quiet)))
            return source;
    }
    source.keeper.reset();
    return source;
}

// ADM's login in the keeper; the exit code to end with when it failed.
int LogInAdmin(KeeperClient& keeper, const AdminPasswordSource& adminPassword, QIODevice& err)
{
    const std::optional<QString> password =
        adminPassword ? adminPassword(err) : ReadAdminPassword(err);
    if (!password) {
        Say(err, QStringLiteral("пароль ADM не введён, ничего не выгружено / "
                                "no ADM password given, nothing exported"));
        return kExitIncomplete;
    }
    try {
        switch (keeper.logInAdmin(*password)) {
        case AdminLogInOutcome::Done:
            return kExitDone;
        case AdminLogInOutcome::WrongPassword:
            Say(err, QStringLiteral("неверный пароль ADM, ничего не выгружено / "
                                    "wrong ADM password, nothing exported"));
            return kExitIncomplete;
        case AdminLogInOutcome::StoreNotRead:
            Say(err, QStringLiteral("хранитель папки класса не может прочитать пароль ADM, "
                                    "ничего не выгружено / the class folder's keeper cannot "
                                    "read ADM's password, nothing exported"));
            return kExitIncomplete;
        }
    } catch (const ZelvoError& error) {
        Say(err, error.text());
    }
    return kExitIncomplete;
}

} // namespace

std::optional<ExportRequest> ParseExportArguments(const QStringList& arguments, QString& error)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption folder(QStringLiteral("folder"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption separator(QStringLiteral("separator"), QString(),
                                       QStringLiteral("SEP"));
    const QCommandLineOption output(QStringLiteral("output"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption raw(QStringLiteral("raw"));
    const QCommandLineOption range(QStringLiteral("range"), QString(), QStringLiteral("N"));
    const QCommandLineOption since(QStringLiteral("since"), QString(),
                                   QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption until(QStringLiteral("until"), QString(),
                                   QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption week(QStringLiteral("week"), QString(), QStringLiteral("YYYY-MM-DD"));
    const QCommandLineOption summaryOnly(QStringLiteral("summary-only"));
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("LANG"));
    const QCommandLineOption digest(QStringLiteral("password-digest"));
    parser.addOptions({help, folder, separator, output, raw, range, since, until, week, summaryOnly,
                       lang, digest});
    if (!parser.parse(arguments)) {
        error = Wrong(parser.errorText());
        return std::nullopt;
    }

    ExportRequest request;
    if (parser.isSet(help)) {
        request.help = true;
        return request;
    }
    if (parser.isSet(digest)) {
        if (arguments.size() != 2) {
            error = Wrong(QStringLiteral("--password-digest takes nothing else"));
            return std::nullopt;
        }
        request.passwordDigest = true;
        return request;
    }
    const QStringList words = parser.positionalArguments();
    const QString command = words.value(0);
    if (command == QLatin1String("summary") && words.size() == 1) {
        request.summary = true;
    } else if (command == QLatin1String("records") && words.size() == 2 &&
               RangeTexts().contains(words[1])) {
        request.rangeText = words[1];
    } else if (command == QLatin1String("report") && words.size() == 1) {
        request.report = true;
    } else if (command == QLatin1String("records")) {
        error = Wrong(QStringLiteral("records 9|20|99|999"));
        return std::nullopt;
    } else {
        error = Wrong(command.isEmpty() ? QStringLiteral("records 9|20|99|999 | summary | report")
                                        : QStringLiteral("'%1'").arg(words.join(QLatin1Char(' '))));
        return std::nullopt;
    }

    // Each option belongs to its commands.
    for (const QCommandLineOption* option : {&range, &since, &until, &week, &summaryOnly, &lang})
        if (!request.report && parser.isSet(*option)) {
            error = Wrong(QStringLiteral("--%1: report").arg(option->names().constFirst()));
            return std::nullopt;
        }
    for (const QCommandLineOption* option : {&separator, &raw})
        if (request.report && parser.isSet(*option)) {
            error =
                Wrong(QStringLiteral("--%1: records, summary").arg(option->names().constFirst()));
            return std::nullopt;
        }
    if (parser.isSet(range)) {
        if (!RangeTexts().contains(parser.value(range))) {
            error = Wrong(QStringLiteral("--range 9|20|99|999"));
            return std::nullopt;
        }
        request.rangeText = parser.value(range);
    }
    for (const auto& [option, day] :
         {std::pair{&since, &request.since}, std::pair{&until, &request.until},
          std::pair{&week, &request.week}})
        if (parser.isSet(*option)) {
            const QDate date =
                QDate::fromString(parser.value(*option), QStringLiteral("yyyy-MM-dd"));
            if (!date.isValid()) {
                error = Wrong(QStringLiteral("--%1 YYYY-MM-DD").arg(option->names().constFirst()));
                return std::nullopt;
            }
            *day = date;
        }
    if (request.since && request.until && *request.since > *request.until) {
        error = Wrong(QStringLiteral("--since > --until"));
        return std::nullopt;
    }
    request.summaryOnly = parser.isSet(summaryOnly);
    if (parser.isSet(lang)) {
        const QString text = parser.value(lang);
        if (text != QLatin1String("ru") && text != QLatin1String("en")) {
            error = Wrong(QStringLiteral("--lang ru|en"));
            return std::nullopt;
        }
        request.english = text == QLatin1String("en");
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
        "  zelvo-export report [--range 9|20|99|999] [--since ГГГГ-ММ-ДД] [--until ГГГГ-ММ-ДД]\n"
        "                      [--week ГГГГ-ММ-ДД] [--summary-only] [--lang ru|en] [параметры]\n"
        "Выгружает результаты класса в файл CSV (UTF-8) для электронной таблицы\n"
        "или в отчёт HTML для браузера.\n"
        "  records N         таблица рекордов интервала 0–N: строка на каждое законченное\n"
        "                    упражнение"
        " в порядке записи (NikName, ФИО, Time, кол-во, Дата, Ошибок)\n"
        "  summary           сводная таблица: строка на каждого ученика по порядку ников\n"
        "                    (НИК, ФИО, Всего очков, Всего времени, Время — скорость,\n"
        "                    очков в минуту)\n"
        "  report            один файл HTML (стили и графики SVG внутри, ничего из сети,\n"
        "                    годится для печати): обзор класса — кто занимался за неделю\n"
        "                    и кто нет, упражнения класса по дням; по строке на ученика:\n"
        "                    упражнений за неделю и за период, дней с последнего упражнения,\n"
        "                    в основном интервале — лучшая и последняя скорость, её изменение,\n"
        "                    ошибок на 10 очков; всего времени и очков; «Внимание» с причиной;\n"
        "                    медиана класса; затем раздел на ученика: все интервалы и графики;\n"
        "                    управляющие знаки и знаки смены направления текста\n"
        "                    в нём показаны как U+FFFD\n"
        "Параметры:\n"
        "  --folder ПАПКА    папка класса; без него — папка класса из настроек программы\n"
        "                    («Папка конфигурации пользователей»), а если её нет — папка\n"
        "                    программы\n"
        "  --separator ;|,   разделитель полей, по умолчанию ;\n"
        "  --output ФАЙЛ     записать в файл, а не на стандартный вывод: новый файл\n"
        "                    с правами по umask, под этим именем; ссылка на этом месте\n"
        "                    заменяется, а не открывается; не обычный файл и то, что\n"
        "                    принадлежит другой учётной записи, — отказ (код выхода 2)\n"
        "  --raw             ник, ФИО и дата точно как хранятся; без него текст, который\n"
        "                    начинается с табуляции или возврата каретки или у которого\n"
        "                    первый непробельный знак (после NFKC, так что и ＝) — = + - @,\n"
        "                    записывается с апострофом впереди, чтобы электронная таблица\n"
        "                    не приняла его за формулу, а управляющие знаки (кроме\n"
        "                    табуляции) и знаки смены направления текста — как U+FFFD.\n"
        "                    Текстовые поля всегда в кавычках, числа — без них и как есть\n"
        "  --range N         (report) только интервал 0–N (9, 20, 99, 999); без него все\n"
        "  --since ДАТА      (report) только упражнения с этого дня (ГГГГ-ММ-ДД;\n"
        "                    с 01.09.2026 — --since 2026-09-01)\n"
        "  --until ДАТА      (report) только упражнения по этот день (ГГГГ-ММ-ДД)\n"
        "  --week ДАТА       (report) последний день недели отчёта (ГГГГ-ММ-ДД): неделя —\n"
        "                    семь дней по этот день; без него — по --until, а без него —\n"
        "                    по сегодня\n"
        "  --summary-only    (report) только обзор класса, без разделов учеников:\n"
        "                    класс из 30 учеников печатается на одной странице A4\n"
        "  --lang ru|en      (report) язык отчёта, по умолчанию русский\n"
        "  --password-digest прочитать пароль (первую строку стандартного ввода) и вывести\n"
        "                    его запись для хранилища настроек, как её записывает\n"
        "                    смена пароля в программе (для шагов установки пакета)\n"
        "  -h, --help        эта справка\n"
        "Доступ к папке класса — один из двух способов на выбор:\n"
        "  - учётная запись учителя, которую администратор компьютера включил в группу\n"
        "    zelvo (sudo adduser ИМЯ zelvo), читает папку сама, пароль не нужен;\n"
        "  - любая другая учётная запись читает папку класса из настроек программы\n"
        "    через хранителя папки класса (zelvo-keeper) по паролю ADM. Пароль\n"
        "    спрашивается в терминале и не отображается при вводе; если стандартный\n"
        "    ввод — не терминал, паролем считается его первая строка, например:\n"
        "    zelvo-export summary --output ~/класс.csv < ~/пароль-adm\n"
        "    В командной строке пароль не передаётся.\n"
        "В папку класса ничего не записывается. Что не удалось прочитать, сообщается\n"
        "в стандартном потоке ошибок; остальное всё равно выгружается.\n"
        "Код выхода: 0 — всё выгружено; 1 — нет папки или таблицы, файл не прочитан\n"
        "или не записан, пароль ADM неверный или не введён; 2 — неверная командная\n"
        "строка (и файл вывода в папке класса, не обычный или чужой).\n"
        "\n"
        "Usage:\n"
        "  zelvo-export records 9|20|99|999 [options]\n"
        "  zelvo-export summary [options]\n"
        "  zelvo-export report [--range 9|20|99|999] [--since YYYY-MM-DD] [--until YYYY-MM-DD]\n"
        "                      [--week YYYY-MM-DD] [--summary-only] [--lang ru|en] [options]\n"
        "Exports a class's results as a CSV file (UTF-8) for a spreadsheet\n"
        "or as an HTML report for a browser.\n"
        "  records N         the records table of the range 0–N: one row per finished\n"
        "                    exercise,"
        " in the order stored (NikName, ФИО, Time, кол-во, Дата, Ошибок)\n"
        "  summary           the summary table: one row per pupil, by nick\n"
        "                    (НИК, ФИО, Всего очков, Всего времени, Время — speed,\n"
        "                    points per minute)\n"
        "  report            one HTML file (styles and SVG charts inside, nothing from\n"
        "                    the network, printable): a class overview (who practised in\n"
        "                    the week and who did not, the class's exercises per day) with\n"
        "                    one row per pupil: exercises in the week and in the period,\n"
        "                    days since the last exercise, in the main range the best and\n"
        "                    latest speed, its change and errors per 10 points; total time\n"
        "                    and points; \"Attention\" with its reason; the class median;\n"
        "                    then one section per pupil with every range and charts;\n"
        "                    control characters and bidirectional controls in it\n"
        "                    are shown as U+FFFD\n"
        "Options:\n"
        "  --folder DIR      the class folder; without it the configuration store's\n"
        "                    \"PathUser\", and without that the program's folder\n"
        "  --separator ;|,   the field separator, ; by default\n"
        "  --output FILE     write to a file instead of standard output: a new file\n"
        "                    with the mode the umask gives, under that name; a link\n"
        "                    there is replaced, never followed; what is not a regular\n"
        "                    file or belongs to another account is refused (status 2)\n"
        "  --raw             nick, full name and date exactly as stored; without it a\n"
        "                    text beginning with a tab or a carriage return, or whose\n"
        "                    first non-blank character (after NFKC, so ＝ too) is\n"
        "                    = + - @, gets a leading apostrophe, so that a spreadsheet\n"
        "                    does not run it as a formula, and control characters\n"
        "                    (but the tab) and bidirectional controls become U+FFFD.\n"
        "                    Text fields are always quoted; numbers never, as they are\n"
        "  --range N         (report) only the range 0–N (9, 20, 99, 999); without it all\n"
        "  --since DATE      (report) only exercises from that day on (YYYY-MM-DD)\n"
        "  --until DATE      (report) only exercises up to that day (YYYY-MM-DD)\n"
        "  --week DATE       (report) the last day of the report's week (YYYY-MM-DD):\n"
        "                    the seven days to that day; without it --until, and\n"
        "                    without that today\n"
        "  --summary-only    (report) the class overview alone, no pupil's section:\n"
        "                    a class of 30 prints on one A4 page\n"
        "  --lang ru|en      (report) the report's language, Russian by default\n"
        "  --password-digest read a password (the first line of standard input) and print\n"
        "                    its digest text for the store, as the program's password\n"
        "                    change writes it (for the package's configure step)\n"
        "  -h, --help        this help\n"
        "The class folder is reached in one of two ways, to choose from:\n"
        "  - a teacher's account that the computer's administrator put in the group\n"
        "    zelvo (sudo adduser NAME zelvo) reads the folder itself, with no password;\n"
        "  - any other account reads the store's class folder through the class\n"
        "    folder's keeper (zelvo-keeper) with ADM's password. The password is asked\n"
        "    for on the terminal and not shown as it is typed; when standard input is\n"
        "    not a terminal, its first line is the password, for example:\n"
        "    zelvo-export summary --output ~/class.csv < ~/adm-password\n"
        "    The password is never given on the command line.\n"
        "Nothing is written into the class folder. Whatever cannot be read is named on\n"
        "standard error; the rest is exported all the same.\n"
        "Exit status: 0 everything exported; 1 no folder or table, a file not read\n"
        "or not written, ADM's password wrong or not given; 2 a wrong command line\n"
        "(an output file in the class folder, not a regular file or another account's\n"
        "too).\n");
}

int RunExportCommand(const QStringList& arguments, QIODevice& out, QIODevice& err,
                     const AdminPasswordSource& adminPassword)
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
    if (request->passwordDigest) {
        // What the package's configure step writes as ADM's digest: the
        // program's own digest of the password, never the password itself.
        const std::optional<QByteArray> line = ReadPasswordLine(0);
        if (!line) {
            Say(err,
                QStringLiteral("нет пароля в стандартном вводе / no password on standard input"));
            return kExitIncomplete;
        }
        out.write((PasswordDigestText(QString::fromUtf8(*line)) + QLatin1Char('\n')).toUtf8());
        return kExitDone;
    }

    const ClassSource source = ChooseClassSource(*request, err);
    const QString& folder = source.folder;
    if (folder.isEmpty() && !request->folder)
        return kExitIncomplete;
    // The messages name the output file in full.
    const QString output =
        request->output ? QFileInfo(*request->output).absoluteFilePath() : QString();
    if (!output.isEmpty() && LiesIn(output, folder)) {
        Say(err, QStringLiteral("в папку класса ничего не записывается / "
                                "nothing is written into the class folder: %1")
                     .arg(output));
        return kExitUsage;
    }
    if (!output.isEmpty() && NewFileRefusalAt(output) != NewFileRefusal::None) {
        Say(err, RefusalText(NewFileRefusalAt(output), output));
        return kExitUsage;
    }
    if (source.keeper) {
        const int code = LogInAdmin(*source.keeper, adminPassword, err);
        if (code != kExitDone)
            return code;
    }

    ExportResult result;
    if (request->report) {
        ReportFilter filter;
        if (!request->rangeText.isEmpty()) {
            filter.ranges = QStringList{request->rangeText};
            filter.rangeNamed = true;
        }
        filter.since = request->since;
        filter.until = request->until;
        filter.day = request->week;
        const ClassReport report = GatherClassReport(folder, filter, source.keeper.get());
        result.errors = report.errors;
        result.warnings = report.warnings;
        // A class folder that is not there gets no page; any other problem
        // is named in the page too.
        if (FolderExists(folder))
            result.csv = ReportHtml(
                report, request->english ? ReportLanguage::English : ReportLanguage::Russian,
                QDateTime::currentDateTime(),
                request->summaryOnly ? ReportParts::SummaryOnly : ReportParts::Full);
    } else {
        const TextFields texts = request->raw ? TextFields::Raw : TextFields::ForSpreadsheet;
        result = request->summary
                     ? ExportSummary(folder, request->separator, texts, source.keeper.get())
                     : ExportRecords(folder, request->rangeText, request->separator, texts,
                                     source.keeper.get());
    }
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
        // A new file of this account's own, renamed onto the name: never
        // written through a link, nor given an old file's mode.
        const NewFileOutcome saved = WriteNewFileAs(output, result.csv);
        if (saved.refused != NewFileRefusal::None) {
            Say(err, RefusalText(saved.refused, output));
            return kExitUsage;
        }
        written = saved.written();
        if (!written)
            Say(err, QStringLiteral("не удалось записать / cannot write %1: %2")
                         .arg(output, qt_error_string(saved.error)));
    }
    return result.errors.isEmpty() && written ? kExitDone : kExitIncomplete;
}
