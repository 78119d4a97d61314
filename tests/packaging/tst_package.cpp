#include "testsupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct TRunResult
{
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

TRunResult Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    TRunResult result;
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        result.Err = process.errorString().toUtf8();
        return result;
    }
    result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.Out = process.readAllStandardOutput();
    result.Err = process.readAllStandardError();
    return result;
}

// The package names of a Depends field, without versions or alternatives' operators.
QSet<QString> DependedPackages(const QString &field)
{
    QSet<QString> names;
    static const QRegularExpression separator(u"[,|]"_s);
    for (const QString &part : field.split(separator, Qt::SkipEmptyParts))
        names.insert(part.trimmed().section(u' ', 0, 0).section(u':', 0, 0));
    return names;
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controlFields_data();
    void controlFields();
    void layout_data();
    void layout();
    void desktopEntry();
    void installedProgramStartsAndStops();
    void dependsCoverEveryLibrary_data();
    void dependsCoverEveryLibrary();

private:
    QString Root(const QString &path = {}) const { return FRoot + u"/usr/"_s + path; }
    QString ControlField(const QString &name) const;

    QTemporaryDir FScratch;
    QString FDeb;
    QString FRoot;
    QString FEncoder;
};

void TestPackage::initTestCase()
{
    QVERIFY(FScratch.isValid());
    const QString out = FScratch.filePath(u"out"_s);
    const TRunResult cpack = Run(
        QString::fromUtf8(QUENBRY_CPACK),
        {u"-G"_s, u"DEB"_s, u"--config"_s, QString::fromUtf8(QUENBRY_CPACK_CONFIG), u"-B"_s, out});
    QVERIFY2(cpack.ExitCode == 0, QByteArray(cpack.Out + cpack.Err).constData());
    const QStringList debs = QDir(out).entryList({u"*.deb"_s}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    FDeb = QDir(out).filePath(debs.first());

    FRoot = FScratch.filePath(u"root"_s);
    const TRunResult unpack = Run(u"dpkg-deb"_s, {u"-x"_s, FDeb, FRoot});
    QVERIFY2(unpack.ExitCode == 0, unpack.Err);
}

QString TestPackage::ControlField(const QString &name) const
{
    const TRunResult field = Run(u"dpkg-deb"_s, {u"-f"_s, FDeb, name});
    return field.ExitCode == 0 ? QString::fromUtf8(field.Out).trimmed() : QString();
}

void TestPackage::controlFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("package name") << u"Package"_s << u"^quenbry$"_s;
    QTest::newRow("version of the project")
        << u"Version"_s << u"^%1$"_s.arg(QString::fromUtf8(QUENBRY_VERSION));
    QTest::newRow("section") << u"Section"_s << u"^video$"_s;
    QTest::newRow("maintainer with address") << u"Maintainer"_s << u"^.+ <.+@.+>$"_s;
    QTest::newRow("summary and long description") << u"Description"_s << u"^\\S.*\\n \\S"_s;
    QTest::newRow("machine architecture") << u"Architecture"_s << u"^[a-z0-9]+$"_s;
}

// Guards against a package apt would show with a wrong name, version, section or no maintainer.
void TestPackage::controlFields()
{
    QFETCH(QString, field);
    QFETCH(QString, pattern);
    const QString value = ControlField(field);
    QVERIFY2(QRegularExpression(pattern).match(value).hasMatch(),
             qPrintable(field + u": "_s + value));
}

void TestPackage::layout_data()
{
    const QString appDir = QString::fromUtf8(QUENBRY_APPDIR) + u'/';
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::newRow("program") << appDir + u"quenbry"_s << true;
    QTest::newRow("config.ini beside the program") << appDir + u"config.ini"_s << false;
    QTest::newRow("desktop entry") << u"share/applications/quenbry.desktop"_s << false;
    for (const char *size : {"48", "64", "128", "256"})
        QTest::addRow("icon %sx%s", size, size)
            << u"share/icons/hicolor/%1x%1/apps/quenbry.png"_s.arg(QLatin1StringView(size))
            << false;
    QTest::newRow("scalable icon") << u"share/icons/hicolor/scalable/apps/quenbry.svg"_s << false;
}

// Guards against an installed program without its config.ini, its menu entry or its icons.
void TestPackage::layout()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo file(Root(path));
    QVERIFY2(file.isFile() && file.size() > 0, qPrintable(file.filePath()));
    QCOMPARE(file.isExecutable(), executable);
}

// Guards against a menu entry desktops reject, or one whose command or icon is not installed.
void TestPackage::desktopEntry()
{
    const QString entry = Root(u"share/applications/quenbry.desktop"_s);
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (validator.isEmpty())
        QSKIP("desktop-file-validate (Debian package desktop-file-utils) is not installed");
    const TRunResult validation = Run(validator, {entry});
    QVERIFY2(validation.ExitCode == 0 && validation.Out.isEmpty(),
             QByteArray(validation.Out + validation.Err).constData());

    const QString text = QString::fromUtf8(ReadFile(entry));
    const auto value = [&](const QString &key) {
        const QRegularExpression line(u"^%1=(.*)$"_s.arg(key), QRegularExpression::MultilineOption);
        return line.match(text).captured(1);
    };
    QCOMPARE(value(u"Name"_s), u"Quenbry"_s);
    const QFileInfo command(Root(u"bin/"_s + value(u"Exec"_s).section(u' ', 0, 0)));
    QVERIFY2(command.isExecutable(), qPrintable(command.filePath()));
    QVERIFY(
        QFileInfo::exists(Root(u"share/icons/hicolor/48x48/apps/%1.png"_s.arg(value(u"Icon"_s)))));
}

// Guards against a command in bin/ that does not lead to the real program (which reads its
// config.ini from its own folder), and an installed program that cannot start or stop cleanly.
void TestPackage::installedProgramStartsAndStops()
{
    const QFileInfo command(Root(u"bin/quenbry"_s));
    QVERIFY(command.isSymLink());
    // Resolved inside the scratch root, so an absolute link would fail here too.
    QCOMPARE(
        command.canonicalFilePath(),
        QFileInfo(Root(QString::fromUtf8(QUENBRY_APPDIR) + u"/quenbry"_s)).canonicalFilePath());

    QTemporaryDir temp;
    const QString work = temp.filePath(u"Quenbry/"_s);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TMPDIR"_s, temp.path());
    if (!env.contains(u"QT_QPA_PLATFORM"_s))
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(command.filePath(), {});
    QVERIFY(program.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(work + u"av"_s).isExecutable(), 20000);
    QVERIFY(program.state() == QProcess::Running);
    // Kept for the library check below: the encoder the installed program writes out.
    FEncoder = FScratch.filePath(u"av"_s);
    QVERIFY(QFile::copy(work + u"av"_s, FEncoder));

    program.terminate();
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void TestPackage::dependsCoverEveryLibrary_data()
{
    QTest::addColumn<QString>("executable");
    QTest::newRow("program") << Root(QString::fromUtf8(QUENBRY_APPDIR) + u"/quenbry"_s);
    QTest::newRow("encoder it writes out") << FEncoder;
}

// Guards against a package that installs on a clean system but whose program or embedded
// encoder then misses a shared library: every library they load directly must come from a
// package the Depends field names.
void TestPackage::dependsCoverEveryLibrary()
{
    QFETCH(QString, executable);
    QVERIFY2(QFileInfo(executable).isExecutable(), qPrintable(executable));

    const TRunResult headers = Run(u"objdump"_s, {u"-p"_s, executable});
    QVERIFY2(headers.ExitCode == 0, headers.Err);
    static const QRegularExpression needed(u"^\\s*NEEDED\\s+(\\S+)$"_s,
                                           QRegularExpression::MultilineOption);
    QStringList libraries;
    for (const auto &match : needed.globalMatch(QString::fromUtf8(headers.Out)))
        libraries << match.captured(1);
    QVERIFY(!libraries.isEmpty());

    // Where the loader finds each library; dpkg knows it by its /usr path or its /lib one.
    const TRunResult loader = Run(u"ldd"_s, {executable});
    QVERIFY2(loader.ExitCode == 0, loader.Err);
    static const QRegularExpression resolved(u"^\\s*(\\S+) => (/\\S+)"_s,
                                             QRegularExpression::MultilineOption);
    QHash<QString, QString> pathOf;
    for (const auto &match : resolved.globalMatch(QString::fromUtf8(loader.Out)))
        pathOf.insert(match.captured(1), match.captured(2));
    QStringList queries;
    for (const QString &library : std::as_const(libraries)) {
        QVERIFY2(pathOf.contains(library), qPrintable(library + u" is not found"_s));
        QString path = pathOf.value(library);
        if (path.startsWith(u"/usr/"_s))
            path = path.mid(4);
        queries << path << u"/usr"_s + path;
    }
    const TRunResult owners = Run(u"dpkg"_s, QStringList {u"-S"_s} + queries);
    QHash<QString, QString> packageOf;
    for (const QString &line : QString::fromUtf8(owners.Out).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(u": "_s);
        const QString file = QFileInfo(line.mid(colon + 2)).fileName();
        packageOf.insert(file, line.left(colon).section(u',', 0, 0).section(u':', 0, 0));
    }

    const QSet<QString> depends = DependedPackages(ControlField(u"Depends"_s));
    for (const QString &library : std::as_const(libraries)) {
        const QString package = packageOf.value(QFileInfo(pathOf.value(library)).fileName());
        QVERIFY2(!package.isEmpty(), qPrintable(library + u" belongs to no package"_s));
        QVERIFY2(depends.contains(package),
                 qPrintable(u"%1 (from %2) is missing in Depends"_s.arg(package, library)));
    }
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
