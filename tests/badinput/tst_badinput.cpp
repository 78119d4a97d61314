#include "testmain.h"
#include "userdriver.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

QString Ffmpeg(const QStringList &arguments, const QString &output)
{
    const TEncoderResult run = RunAndWait(
        u"ffmpeg"_s, QStringList{u"-nostdin"_s, u"-loglevel"_s, u"error"_s, u"-y"_s} + arguments,
        QFileInfo(output).absolutePath());
    return run.Status == TEncoderStatus::Finished && run.ExitCode == 0
               ? QString()
               : u"%1 failed: %2"_s.arg(output, run.ErrorTail);
}

// The first bytes of from, a share of its size, as a copy at to.
bool WriteHead(const QString &from, const QString &to, double share)
{
    const QByteArray whole = ReadFile(from);
    return !whole.isEmpty() && WriteFile(to, whole.left(qsizetype(whole.size() * share)));
}

double Duration(const QString &file)
{
    return ProbeStream(file, u"v"_s)
        .value(u"format"_s)
        .toObject()
        .value(u"duration"_s)
        .toString()
        .toDouble();
}

} // namespace

// Bad inputs given to the real program the way a user gives them: through the open dialog, the
// output settings and Go, with the real encoder. Each row must end with a clear message, no crash
// or hang, no encoder left running and every source unchanged.
class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sources_data();
    void sources();
    void names_data();
    void names();
    void titles_data();
    void titles();
    void outputFolders_data();
    void outputFolders();

private:
    QString Clip(const QString &name) const { return FClips.filePath(name); }
    // Converts with Go and checks the report, the outputs in out and that the program goes on.
    static void ConvertAndCheck(TUserSession &user, const QString &out,
                                const QMap<QString, QString> &failures,
                                const QStringList &converted);

    QTemporaryDir FClips;
};

void TestBadInput::initTestCase()
{
    QVERIFY(FClips.isValid());
    TClipSpec clip;
    clip.Seconds = 4;
    clip.Size = u"160x120"_s;
    TClipSpec shortClip = clip;
    shortClip.Seconds = 2;
    TClipSpec videoOnly = clip;
    videoOnly.AudioChannels = 0;
    TClipSpec audioOnly = clip;
    audioOnly.Video = false;
    TClipSpec huge = clip; // 4K, but only a few frames, so that it stays quick
    huge.Size = u"3840x2160"_s;
    huge.Rate = 2;
    huge.Seconds = 3.5;
    TClipSpec longer = clip;
    longer.Seconds = 8;
    const QList<std::pair<QString, TClipSpec>> clips{
        {u"good.avi"_s, clip},          {u"short.avi"_s, shortClip},
        {u"video only.avi"_s, videoOnly}, {u"audio only.wav"_s, audioOnly},
        {u"4k.avi"_s, huge},           {u"whole.mov"_s, longer}};
    for (const auto &[name, spec] : clips) {
        const QString failure = MakeClip(u"ffmpeg"_s, Clip(name), spec);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    QString failure = Ffmpeg({u"-i"_s, Clip(u"audio only.wav"_s), u"-c:a"_s, u"libmp3lame"_s,
                              Clip(u"audio only.mp3"_s)},
                             Clip(u"audio only.mp3"_s));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // An interrupted copy of a camera's file: the index that MP4 writers put at the end is gone.
    QVERIFY(WriteHead(Clip(u"whole.mov"_s), Clip(u"cut.mp4"_s), 0.6));
    // The same with the index moved to the front, as files made for streaming have it.
    failure = Ffmpeg({u"-i"_s, Clip(u"whole.mov"_s), u"-c"_s, u"copy"_s, u"-movflags"_s,
                      u"+faststart"_s, Clip(u"faststart.mov"_s)},
                     Clip(u"faststart.mov"_s));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(WriteHead(Clip(u"faststart.mov"_s), Clip(u"cut index first.mp4"_s), 0.6));
    QVERIFY(WriteFile(Clip(u"zero.avi"_s), {}));
    QVERIFY(WriteFile(Clip(u"text.mp4"_s), "this is text, not a video\n"));

    const QStringList names{u"clip with  two blanks .avi"_s, u"it's a \"quoted\" clip.avi"_s,
                            u"$(touch pwned) `touch pwned`.avi"_s,
                            u"Grüße ñandú Ωμέγα 日本語.avi"_s, u"-i -y.avi"_s};
    for (const QString &name : names)
        QVERIFY(QFile::copy(Clip(u"good.avi"_s), Clip(name)));
}

void TestBadInput::ConvertAndCheck(TUserSession &user, const QString &out,
                                   const QMap<QString, QString> &failures,
                                   const QStringList &converted)
{
    CheckReport(user.Go(), failures, converted);
    CheckGoesOn(user);
    CheckOutputs(out, converted, failures.keys());
}

void TestBadInput::sources_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("addError"); // part of the reason the add gives; empty: a thumbnail
    QTest::addColumn<QString>("failure");  // part of the reason the report gives; empty: converted

    QTest::newRow("missing file") << u"missing.avi"_s << u"No such file or directory"_s
                                  << u"the file does not exist"_s;
    QTest::newRow("zero-byte .avi") << u"zero.avi"_s << u"Invalid data found"_s
                                    << u"Invalid data found"_s;
    QTest::newRow("text file named .mp4") << u"text.mp4"_s << u"Invalid data found"_s
                                          << u"Invalid data found"_s;
    QTest::newRow("truncated MP4, index at the end")
        << u"cut.mp4"_s << u"moov atom not found"_s << u"moov atom not found"_s;
    // What is there converts; the source stays as it was.
    QTest::newRow("truncated MP4, index first") << u"cut index first.mp4"_s << QString()
                                                << QString();
    QTest::newRow("audio only") << u"audio only.mp3"_s << u"The file has no video track"_s
                                << u"The file has no video track"_s;
    QTest::newRow("video only") << u"video only.avi"_s << QString()
                                << u"The file has no audio track"_s;
    QTest::newRow("clip shorter than 3 s") << u"short.avi"_s << u"no frame at 3 seconds"_s
                                           << QString();
    QTest::newRow("4K clip") << u"4k.avi"_s << QString() << QString();
}

// Guards against a bad source that crashes or hangs the program, reports success or an encoder
// riddle, stops the files after it, or is changed by the conversion.
void TestBadInput::sources()
{
    QFETCH(QString, clip);
    QFETCH(QString, addError);
    QFETCH(QString, failure);
    const QString source = Clip(clip);
    const QString good = Clip(u"good.avi"_s);
    const QMap<QString, QByteArray> before = FolderDigests(FClips.path());

    TUserSession user;
    QVERIFY(user.Ready());
    AddAll(user, {source, good}, {addError});
    if (QTest::currentTestFailed())
        return;
    if (clip == u"4k.avi") {
        // The frame is kept as it came; the grid scales it into its cell.
        QCOMPARE(user.Grid()->ThumbItems().Items(0)->Bitmap().size(), QSize(3840, 2160));
        const QImage grid = user.Grid()->grab().toImage();
        const QPoint cell(TPhotoThumbPanel::Gap + user.Grid()->CellWidth() / 2,
                          TPhotoThumbPanel::Gap + user.Grid()->CellHeight() / 2);
        QVERIFY(grid.pixel(cell) != TPhotoThumbPanel::BackgroundColor);
    }

    const QString out = user.Temp(u"out/"_s);
    user.SetOutput(out);
    QMap<QString, QString> failures;
    if (!failure.isEmpty())
        failures.insert(source, failure);
    ConvertAndCheck(user, out, failures,
                    failure.isEmpty() ? QStringList{source, good} : QStringList{good});
    if (QTest::currentTestFailed())
        return;
    if (clip == u"cut index first.mp4")
        QVERIFY(Duration(out + OutputNameFor(source)) < Duration(Clip(u"whole.mov"_s)));
    QCOMPARE(FolderDigests(FClips.path()), before);
}

void TestBadInput::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << u"clip with  two blanks .avi"_s;
    QTest::newRow("quotes") << u"it's a \"quoted\" clip.avi"_s;
    QTest::newRow("command substitution") << u"$(touch pwned) `touch pwned`.avi"_s;
    QTest::newRow("non-ASCII letters") << u"Grüße ñandú Ωμέγα 日本語.avi"_s;
    QTest::newRow("leading dash") << u"-i -y.avi"_s;
}

// Guards against a name that is split, read as an option or run by a shell anywhere from the
// open dialog to the output file.
void TestBadInput::names()
{
    QFETCH(QString, name);
    const QMap<QString, QByteArray> before = FolderDigests(FClips.path());
    TUserSession user;
    QVERIFY(user.Ready());
    AddAll(user, {Clip(name)}, {}, true);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(user.Grid()->ThumbItems().Items(0)->Bitmap().size(), QSize(160, 120));

    const QString out = user.Temp(u"out/"_s);
    user.SetOutput(out);
    ConvertAndCheck(user, out, {}, {Clip(name)});
    for (const QString &folder : {QDir::currentPath(), user.WorkFolder(), user.Temp({}), out})
        QVERIFY2(!QFileInfo::exists(folder + u"/pwned"_s), qPrintable(folder));
    QCOMPARE(FolderDigests(FClips.path()), before);
}

void TestBadInput::titles_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("quotes") << u"He said \"stop\" & it's 'fine'"_s;
    QTest::newRow("equals signs and colons") << u"title=a: b=c"_s;
    QString longTitle;
    while (longTitle.size() < 2000)
        longTitle += u"Long title %1, "_s.arg(longTitle.size());
    longTitle.truncate(2000);
    QTest::newRow("2,000 characters") << longTitle;
}

// Guards against a title that breaks the encoder's command or reaches the file cut or changed.
void TestBadInput::titles()
{
    QFETCH(QString, title);
    const QString source = Clip(u"good.avi"_s);
    TUserSession user;
    QVERIFY(user.Ready());
    AddAll(user, {source});
    const QString out = user.Temp(u"out/"_s);
    user.SetOutput(out, title);
    QCOMPARE(user.Child<QLineEdit>("Edit1")->text(), title);
    ConvertAndCheck(user, out, {}, {source});
    if (QTest::currentTestFailed())
        return;
    const TPspAtoms atoms = ReadPspAtoms(out + u"good.mp4"_s);
    QVERIFY(atoms.HasTitle);
    QCOMPARE(atoms.Title, title);
}

void TestBadInput::outputFolders_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only folder") << u"read-only"_s;
    QTest::newRow("a file in the way") << u"file"_s;
    QTest::newRow("mp4 source inside the output folder") << u"inside"_s;
    QTest::newRow("another file's output would replace a source") << u"replaced"_s;
}

// Guards against an output folder that cannot take the files passing for success, and against
// a conversion that writes over one of the files it converts.
void TestBadInput::outputFolders()
{
    QFETCH(QString, kind);
    const QString good = Clip(u"good.avi"_s);
    const QMap<QString, QByteArray> before = FolderDigests(FClips.path());
    TUserSession user;
    QVERIFY(user.Ready());
    const QString out = user.Temp(u"out/"_s);
    QVERIFY(QDir().mkpath(out));

    QStringList sources{good};
    QMap<QString, QString> failures;
    QStringList converted;
    std::optional<TMount> readOnly;
    if (kind == u"read-only") {
        // Root writes through any permission bits: a read-only mount is what stops it.
        if (IsRoot()) {
            readOnly.emplace(out, u"ro,size=1m"_s);
            if (!readOnly->Mounted())
                QSKIP("a read-only folder needs a mount, which failed here");
        } else {
            QVERIFY(QFile::setPermissions(out, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        failures.insert(good, IsRoot() ? u"Read-only file system"_s : u"Permission denied"_s);
    } else if (kind == u"inside") {
        const QString inside = out + u"inside.mp4"_s;
        QVERIFY(QFile::copy(Clip(u"whole.mov"_s), inside));
        sources = QStringList{inside, good};
        failures.insert(inside, u"the output would replace the source"_s);
        converted = QStringList{good};
    } else if (kind == u"replaced") {
        // good.avi would become good.mp4, the name of a file further down the list.
        const QString other = out + u"good.mp4"_s;
        QVERIFY(QFile::copy(Clip(u"whole.mov"_s), other));
        sources = QStringList{good, other};
        failures.insert(good, u"its output would replace "_s + other);
        failures.insert(other, u"the output would replace the source"_s);
    }
    QMap<QString, QByteArray> sourceDigests;
    for (const QString &source : std::as_const(sources))
        sourceDigests.insert(source, FileDigest(source));

    AddAll(user, sources);
    if (kind == u"file") {
        QVERIFY(QDir(out).removeRecursively());
        QVERIFY(WriteFile(user.Temp(u"out"_s), "a file, not a folder"));
        user.SetOutput(out);
        const QString refusal = u"Unable to create directory.\n\n%1 is a file, not a folder"_s;
        QCOMPARE(user.Go(), QStringList{refusal.arg(user.Temp(u"out"_s))});
        QVERIFY(!IsConverting);
        QVERIFY(user.StillUsable());
        QCOMPARE(ReadFile(user.Temp(u"out"_s)), QByteArray("a file, not a folder"));
    } else {
        user.SetOutput(out);
        ConvertAndCheck(user, out, failures, converted);
    }
    if (kind == u"read-only" && !IsRoot())
        QFile::setPermissions(out, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                       | QFileDevice::ExeOwner);
    for (auto it = sourceDigests.cbegin(); it != sourceDigests.cend(); ++it)
        QCOMPARE(FileDigest(it.key()), it.value());
    QCOMPARE(FolderDigests(FClips.path()), before);
}

QUENBRY_TEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
