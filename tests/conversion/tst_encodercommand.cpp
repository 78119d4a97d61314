#include "encodercommand.h"
#include "defaultsettings.h"

#include <QDir>
#include <QLocale>
#include <QTest>

#include <clocale>

using namespace Qt::StringLiterals;

namespace {

// The argument that follows option in arguments.
QString ValueOf(const QStringList &arguments, const QString &option)
{
    const qsizetype at = arguments.indexOf(option);
    return at >= 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : u"<missing>"_s;
}

const QString StereoMix = u",pan=stereo|FL<FL+0.7071*FC+0.7071*BL+0.7071*SL"
                          u"|FR<FR+0.7071*FC+0.7071*BR+0.7071*SR"_s;

} // namespace

class TestEncoderCommand : public QObject
{
    Q_OBJECT

private slots:
    void defaultSettings();
    void thumbnail();
    void valuesArriveAsOneArgument_data();
    void valuesArriveAsOneArgument();
    void frameRateUsesPoint_data();
    void frameRateUsesPoint();
    void fillReplacesWholeArgumentsOnce();
};

// Guards against a lost option, a changed unit (a bare bit rate means bit/s) or a wrong order
// (options before -i would apply to the input).
void TestEncoderCommand::defaultSettings()
{
    // clang-format off
    const QStringList expected = {
        u"-nostdin"_s, u"-hide_banner"_s, u"-nostats"_s, u"-loglevel"_s, u"error"_s, u"-y"_s,
        u"-i"_s, u"file:/videos/clip.avi"_s,
        u"-map"_s, u"0:v:0"_s, u"-map"_s, u"0:a:0"_s, u"-map_metadata"_s, u"-1"_s, u"-sn"_s,
        u"-dn"_s, u"-fflags"_s, u"+bitexact"_s, u"-flags:v"_s, u"+bitexact+mv4"_s,
        u"-flags:a"_s, u"+bitexact"_s, u"-c:v"_s, u"libxvid"_s, u"-g"_s, u"300"_s,
        u"-s"_s, u"320x240"_s, u"-r"_s, u"15.00"_s, u"-b:v"_s, u"576k"_s,
        u"-c:a"_s, u"aac"_s, u"-aspect"_s, u"4:3"_s, u"-ac"_s, u"2"_s, u"-b:a"_s, u"128k"_s,
        u"-ar"_s, u"44100"_s, u"-metadata"_s, u"title="_s,
        u"-af"_s, u"aformat=sample_fmts=s16,volume=1.00:precision=fixed"_s + StereoMix,
        u"-f"_s, u"psp"_s, u"-vstats"_s, u"file:/My_PSP/clip.mp4"_s};
    // clang-format on
    QCOMPARE(ConversionArguments(DefaultSettingsInfo(), u"/videos/clip.avi"_s, u"/My_PSP/clip.mp4"_s),
             expected);
    QCOMPARE(ValueOf(ConversionArguments(DefaultSettingsInfo(), u"/a.avi"_s, u"/a.mp4"_s, u"mpeg4"_s),
                     u"-c:v"_s),
             u"mpeg4"_s);
}

// Guards against the slow output-side seek and against a picture name the add command does not
// read back.
void TestEncoderCommand::thumbnail()
{
    const QStringList expected = {u"-nostdin"_s, u"-hide_banner"_s, u"-nostats"_s,
                                  u"-loglevel"_s, u"error"_s, u"-ss"_s, u"3"_s,
                                  u"-i"_s, u"file:/My Videos/clip:1.avi"_s,
                                  u"-frames:v"_s, u"1"_s, u"-y"_s, u"thumb%d.jpg"_s};
    QCOMPARE(ThumbnailArguments(u"/My Videos/clip:1.avi"_s), expected);
}

void TestEncoderCommand::valuesArriveAsOneArgument_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("sourceArgument");
    QTest::addColumn<QString>("outputArgument");
    QTest::newRow("title with blanks and quotes")
        << u"My \"best\" holiday, part 1"_s << u"/v/a.avi"_s << u"/o/a.mp4"_s
        << u"file:/v/a.avi"_s << u"file:/o/a.mp4"_s;
    QTest::newRow("title that looks like a placeholder")
        << u"{output}"_s << u"/v/a.avi"_s << u"/o/a.mp4"_s << u"file:/v/a.avi"_s
        << u"file:/o/a.mp4"_s;
    QTest::newRow("title that looks like an option")
        << u"-y"_s << u"/v/a.avi"_s << u"/o/a.mp4"_s << u"file:/v/a.avi"_s << u"file:/o/a.mp4"_s;
    QTest::newRow("output name with blanks")
        << QString() << u"/v/my clip.avi"_s << u"/o/my clip.mp4"_s << u"file:/v/my clip.avi"_s
        << u"file:/o/my clip.mp4"_s;
    QTest::newRow("names beginning with a dash")
        << QString() << u"/v/-clip.avi"_s << u"/o/-clip.mp4"_s << u"file:/v/-clip.avi"_s
        << u"file:/o/-clip.mp4"_s;
    QTest::newRow("relative names beginning with a dash")
        << QString() << u"-clip.avi"_s << u"-clip.mp4"_s
        << u"file:"_s + QDir::currentPath() + u"/-clip.avi"_s
        << u"file:"_s + QDir::currentPath() + u"/-clip.mp4"_s;
    QTest::newRow("names with a colon") << QString() << u"/v/a:b.avi"_s << u"/o/a:b.mp4"_s
                                        << u"file:/v/a:b.avi"_s << u"file:/o/a:b.mp4"_s;
    QTest::newRow("names not in ASCII")
        << u"Grüße 視頻"_s << u"/v/Ünïcødé 視頻.avi"_s << u"/o/Ünïcødé 視頻.mp4"_s
        << u"file:/v/Ünïcødé 視頻.avi"_s << u"file:/o/Ünïcødé 視頻.mp4"_s;
}

// Guards against values split at blanks, cut at quotes, read as options or protocols.
void TestEncoderCommand::valuesArriveAsOneArgument()
{
    QFETCH(QString, title);
    QFETCH(QString, source);
    QFETCH(QString, output);
    QFETCH(QString, sourceArgument);
    QFETCH(QString, outputArgument);
    TWorkThreadInfo info = DefaultSettingsInfo();
    info.Title = title;
    const QStringList arguments = ConversionArguments(info, source, output);
    QCOMPARE(arguments.size(), ConversionCommandFormat.size());
    QCOMPARE(ValueOf(arguments, u"-metadata"_s), u"title="_s + title);
    QCOMPARE(ValueOf(arguments, u"-i"_s), sourceArgument);
    QCOMPARE(arguments.last(), outputArgument);
}

void TestEncoderCommand::frameRateUsesPoint_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("expected");
    QTest::newRow("15 fps") << 15.0 << u"15.00"_s;
    QTest::newRow("24 fps") << 24.0 << u"24.00"_s;
    QTest::newRow("29.97 fps") << 29.97 << u"29.97"_s;
}

// Guards against the user's locale turning 15 fps into "15,00", which the encoder refuses.
void TestEncoderCommand::frameRateUsesPoint()
{
    QFETCH(double, rate);
    QFETCH(QString, expected);
    const QLocale oldDefault;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const char *oldNumeric = std::setlocale(LC_NUMERIC, nullptr);
    const std::string keep = oldNumeric ? oldNumeric : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // where installed; Qt's default covers the rest

    TWorkThreadInfo info = DefaultSettingsInfo();
    info.FrameRate = rate;
    const QString actual = ValueOf(ConversionArguments(info, u"/a.avi"_s, u"/a.mp4"_s), u"-r"_s);

    std::setlocale(LC_NUMERIC, keep.c_str());
    QLocale::setDefault(oldDefault);
    QCOMPARE(actual, expected);
}

// Guards against a value being searched again for placeholders, or a placeholder inside a
// longer argument being replaced.
void TestEncoderCommand::fillReplacesWholeArgumentsOnce()
{
    const QStringList format = {u"{a}"_s, u"x{a}"_s, u"{b}"_s};
    QCOMPARE(FillCommandFormat(format, {{u"{a}"_s, u"{b}"_s}, {u"{b}"_s, u"two words"_s}}),
             (QStringList{u"{b}"_s, u"x{a}"_s, u"two words"_s}));
}

QTEST_GUILESS_MAIN(TestEncoderCommand)
#include "tst_encodercommand.moc"
