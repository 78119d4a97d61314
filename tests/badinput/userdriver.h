#pragma once

#include "mediatools.h"
#include "outputname.h"
#include "processvariables.h"
#include "tmainform.h"
#include "tphotothumbpanel.h"
#include "formdriver.h"
#include "modalwatcher.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMap>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

// Drives the real main window as a user does (open dialog, clicks, message boxes) and looks at
// what a user cannot see: the encoder processes and the bytes of the source files.

// Shows the folder of fileName in the next open dialog and picks the file in its list with a
// click, as a user does who finds the file rather than typing its name. (Qt's own dialog reads a
// typed '"' as the border between several names, so a name with quotes can only be picked so.)
inline void ClickInNextOpenDialog(const QString &fileName)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, fileName] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const QString folder = QFileInfo(fileName).absolutePath();
        if (dialog->directory().absolutePath() != folder)
            dialog->setDirectory(folder);
        auto *list = dialog->findChild<QListView *>(QStringLiteral("listView"));
        auto *model = dialog->findChild<QFileSystemModel *>();
        QVERIFY(list && model);
        const QModelIndex index = model->index(fileName);
        // The model fills the folder in the background; the name shows up when it has.
        if (!index.isValid() || list->visualRect(index).isEmpty())
            return;
        timer->deleteLater();
        timer->stop();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        static_cast<QDialog *>(dialog)->accept();
    });
    timer->start();
}

// The processes that run the encoder of the work folder workDir, found by their program (also
// once its file was deleted) or by the first word of their command line.
inline QList<pid_t> EncoderProcesses(const QString &workDir)
{
    const QString program = workDir + EncoderFileName();
    const QByteArray native = QFile::encodeName(program);
    const QByteArray canonical
        = QFile::encodeName(QFileInfo(workDir).canonicalFilePath() + u'/' + EncoderFileName());
    QList<pid_t> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isNumber = false;
        const pid_t pid = entry.toInt(&isNumber);
        if (!isNumber || pid == ::getpid())
            continue;
        char target[4096];
        const QByteArray link = "/proc/" + entry.toLatin1() + "/exe";
        const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
        QByteArray exe = length > 0 ? QByteArray(target, length) : QByteArray();
        if (exe.endsWith(" (deleted)"))
            exe.chop(10);
        const QByteArray first
            = ReadFile(QStringLiteral("/proc/%1/cmdline").arg(pid)).split('\0').first();
        if (exe == native || exe == canonical || first == native)
            found << pid;
    }
    return found;
}

// The command line of a process, its words separated by blanks.
inline QByteArray CommandLine(pid_t pid)
{
    QByteArray line = ReadFile(QStringLiteral("/proc/%1/cmdline").arg(pid));
    line.replace('\0', ' ');
    return line;
}

// The SHA-256 of a regular file, "missing" for no entry and "special" for anything else, so that
// a file that appears, vanishes or changes shows as a difference.
inline QByteArray FileDigest(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "missing";
    if (!S_ISREG(st.st_mode))
        return "special";
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return "unreadable";
    return hash.result().toHex();
}

// Every entry below folder with its digest.
inline QMap<QString, QByteArray> FolderDigests(const QString &folder)
{
    QMap<QString, QByteArray> digests;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        digests.insert(path, it.fileInfo().isDir() && !it.fileInfo().isSymLink()
                                 ? QByteArray("folder")
                                 : FileDigest(path));
    }
    return digests;
}

// Runs a command as it stands (mount, umount); true when it ended with 0.
inline bool RunCommand(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

// A tmpfs mounted on a folder for as long as the object lives (root only; Mounted() says whether
// the mount worked).
class TMount
{
public:
    TMount(const QString &folder, const QString &options)
        : FFolder(folder)
        , FMounted(IsRoot()
                   && RunCommand(QStringLiteral("mount"),
                                 {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                  QStringLiteral("-o"), options, QStringLiteral("tmpfs"), folder}))
    {
    }
    ~TMount()
    {
        // Lazily if need be: a mount must never outlive the test, even a failed one.
        if (FMounted && !RunCommand(QStringLiteral("umount"), {FFolder}))
            RunCommand(QStringLiteral("umount"), {QStringLiteral("-l"), FFolder});
    }
    TMount(const TMount &) = delete;
    TMount &operator=(const TMount &) = delete;

    bool Mounted() const { return FMounted; }

private:
    QString FFolder;
    bool FMounted;
};

// One session of the program: a private temporary folder as TMPDIR, the real main window shown.
// Ending the session destroys the window and kills any encoder of it that a failed test left.
class TUserSession
{
public:
    TUserSession()
        : FTemp(std::make_unique<QTemporaryDir>())
        , FTmpDir(std::make_unique<TEnvGuard>("TMPDIR", FTemp->path()))
        , FForm(std::make_unique<TMainForm>())
    {
        MainForm = FForm.get();
        FWorkDir = WorkDir;
        if (FForm->StartupError().isEmpty()) {
            FForm->show();
            FShown = QTest::qWaitForWindowExposed(FForm.get());
        }
    }

    ~TUserSession()
    {
        FForm.reset();
        MainForm = nullptr;
        // Never leave one running, whatever the test found.
        for (const pid_t pid : EncoderProcesses(FWorkDir))
            ::kill(pid, SIGKILL);
        FTmpDir.reset();
        FTemp.reset();
    }

    TUserSession(const TUserSession &) = delete;
    TUserSession &operator=(const TUserSession &) = delete;

    bool Ready() const { return FShown && FForm->StartupError().isEmpty(); }
    TMainForm *Form() const { return FForm.get(); }
    QString Temp(const QString &name) const { return FTemp->filePath(name); }
    QString WorkFolder() const { return FWorkDir; }

    template<typename T> T *Child(const char *name) const { return ChildOf<T>(FForm.get(), name); }
    TPhotoThumbPanel *Grid() const { return Child<TPhotoThumbPanel>("PhotoThumbPanel1"); }
    QString Status() const { return Child<QLabel>("sb_status")->text(); }
    void Click(const char *name) const
    {
        QTest::mouseClick(Child<QWidget>(name), Qt::LeftButton, {}, QPoint(10, 10));
    }

    // Sets the output folder and the title, leaves every other setting as it is.
    void SetOutput(const QString &folder, const QString &title = {})
    {
        Click("tabOutput");
        Child<QLineEdit>("edtOutputPath")->setText(folder);
        Child<QLineEdit>("Edit1")->setText(title);
    }

    // Presses Go and runs whileConverting once a worker runs; returns the texts of the modal
    // boxes up to the closing question, which is answered No. A conversion that does not end in
    // time leaves IsConverting set for the caller to see.
    QStringList Go(const std::function<void()> &whileConverting = {}, int timeoutMs = 60000)
    {
        TModalWatcher boxes(QMessageBox::Ok);
        Click("pnl3_btnGo");
        if (!IsConverting)
            return boxes.Texts(); // refused before any worker started
        if (whileConverting)
            whileConverting();
        if (!QTest::qWaitFor([] { return OpenQuestion() != nullptr || !IsConverting; },
                             timeoutMs))
            return boxes.Texts();
        if (QMessageBox *question = OpenQuestion())
            question->button(QMessageBox::No)->click();
        [[maybe_unused]] const bool ended = QTest::qWaitFor([] { return !IsConverting; }, 10000);
        return boxes.Texts();
    }

    // Whether the window still answers the user: switching views writes the view's status text.
    bool StillUsable()
    {
        Click("tabAddPhotos");
        const bool list = Status() == u"Add or delete video files. ";
        Click("tabOutput");
        return list && Status() == u"Output settings view. ";
    }

private:
    std::unique_ptr<QTemporaryDir> FTemp;
    std::unique_ptr<TEnvGuard> FTmpDir;
    std::unique_ptr<TMainForm> FForm;
    QString FWorkDir;
    bool FShown = false;
};

// The texts the worker ends with.
inline const QString Completed = QStringLiteral("PSP video file generation completed.");
inline const QString CompletedWithErrors
    = QStringLiteral("PSP video file generation completed with errors.");

// Adds each source through the open dialog (its name typed, or picked with a click), expecting a
// thumbnail, or the error box with a reason that contains addErrors' entry where there is one.
inline void AddAll(TUserSession &user, const QStringList &sources,
                   const QStringList &addErrors = {}, bool click = false)
{
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QString source = sources[i];
        const QString addError = addErrors.value(i);
        const int before = user.Grid()->ThumbItems().Count();
        TModalWatcher boxes(QMessageBox::Ok);
        if (click)
            ClickInNextOpenDialog(source);
        else
            ChooseInNextOpenDialog(source);
        user.Click("pnl1_btnAdd");
        // Whatever happened, the video is in the list, under the name the user chose.
        QCOMPARE(user.Grid()->ThumbItems().Count(), before + 1);
        const TThumbItem *item = user.Grid()->ThumbItems().Items(before);
        QCOMPARE(item->FileName(), source);
        if (addError.isEmpty()) {
            QCOMPARE(boxes.Texts(), QStringList());
            QVERIFY(!item->Bitmap().isNull());
        } else {
            QCOMPARE(boxes.Count(), 1);
            const QString prefix
                = QStringLiteral("No thumbnail could be made for %1:\n").arg(source);
            QVERIFY2(boxes.LastText().startsWith(prefix), qPrintable(boxes.LastText()));
            QVERIFY2(boxes.LastText().mid(prefix.size()).contains(addError, Qt::CaseInsensitive),
                     qPrintable(boxes.LastText()));
            QVERIFY(item->Bitmap().isNull());
        }
    }
}

// Checks the boxes a conversion showed: the one report, "completed" when failures is empty, else
// one line per failed source (its path, ": ", then a reason that contains failures' value and may
// go on over a few lines), and no line for a converted one.
inline void CheckReport(const QStringList &boxes, const QMap<QString, QString> &failures,
                        const QStringList &converted = {})
{
    QVERIFY2(!IsConverting, "the conversion did not end");
    QCOMPARE(boxes.size(), 1);
    const QString report = boxes.first();
    for (const QString &source : converted)
        QVERIFY2(!report.contains(source + QStringLiteral(": ")), qPrintable(report));
    if (failures.isEmpty()) {
        QCOMPARE(report, Completed);
        return;
    }
    QVERIFY2(report.startsWith(CompletedWithErrors + QStringLiteral("\n\n")), qPrintable(report));
    QList<qsizetype> starts;
    for (auto it = failures.cbegin(); it != failures.cend(); ++it) {
        const qsizetype at = report.indexOf(u'\n' + it.key() + QStringLiteral(": "));
        QVERIFY2(at > 0,
                 qPrintable(QStringLiteral("no line for %1 in:\n%2").arg(it.key(), report)));
        starts << at;
    }
    std::sort(starts.begin(), starts.end());
    starts << report.size();
    for (auto it = failures.cbegin(); it != failures.cend(); ++it) {
        const qsizetype at = report.indexOf(u'\n' + it.key() + QStringLiteral(": "));
        const qsizetype from = at + it.key().size() + 3;
        const QString reason = report.mid(from, starts[starts.indexOf(at) + 1] - from);
        QVERIFY2(reason.contains(it.value(), Qt::CaseInsensitive),
                 qPrintable(QStringLiteral("%1: %2").arg(it.key(), reason)));
    }
}

// Checks that out holds exactly the PSP files of the converted sources (sources kept in out
// aside), each with the default settings' frame size, two channels and the profile's rate.
inline void CheckOutputs(const QString &out, const QStringList &converted,
                         const QStringList &keptSources = {})
{
    QStringList names;
    for (const QString &source : converted)
        names << OutputNameFor(source);
    names.sort();
    QStringList found = FolderEntries(out);
    found.removeIf([&](const QString &name) { return keptSources.contains(out + name); });
    QCOMPARE(found, names);
    for (const QString &name : std::as_const(names)) {
        const QJsonObject video = ProbeStream(out + name, QStringLiteral("v"));
        QCOMPARE(video.value(QStringLiteral("width")).toInt(), 320);
        QCOMPARE(video.value(QStringLiteral("height")).toInt(), 240);
        const QJsonObject audio = ProbeStream(out + name, QStringLiteral("a"));
        QCOMPARE(audio.value(QStringLiteral("channels")).toInt(), 2);
        QCOMPARE(ReadPspAtoms(out + name).VideoRates[0], 768u);
    }
}

// Checks that the program went on after a conversion: idle, the window answering, no encoder left.
inline void CheckGoesOn(TUserSession &user)
{
    QVERIFY(!IsConverting);
    QVERIFY(user.StillUsable());
    QCOMPARE(EncoderProcesses(user.WorkFolder()), QList<pid_t>());
}
