#include "jpegloader.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include <QFile>
#include <QImageReader>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

using namespace Qt::StringLiterals;

// libjpeg reports fatal errors through error_exit, which must not return. It jumps back with
// longjmp into one of the small helpers below; they hold no C++ objects, so no destructor is
// ever skipped, and the C++ caller cleans up and throws after the helper has returned false.
namespace {

constexpr size_t InputBufferSize = 64 * 1024;

struct TJpegErrorManager
{
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

// Reads the file through QFile, so names in any encoding work on every platform.
struct TJpegFileSource
{
    jpeg_source_mgr Base;
    QFile *File;
    JOCTET Buffer[InputBufferSize];
    bool StartOfFile;
    bool ReadFailed;
};

struct TJpegDecoder
{
    jpeg_decompress_struct Info;
    TJpegErrorManager Error;
    TJpegFileSource Source;
    bool Created = false;
};

extern "C" {

static void ErrorExit(j_common_ptr info)
{
    auto *error = reinterpret_cast<TJpegErrorManager *>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

// Warnings (a truncated file, for one) are not failures: the decoder goes on as libjpeg does by
// default, but nothing is printed on stderr.
static void OutputMessage(j_common_ptr) { }

static void InitSource(j_decompress_ptr info)
{
    reinterpret_cast<TJpegFileSource *>(info->src)->StartOfFile = true;
}

static boolean FillInputBuffer(j_decompress_ptr info)
{
    auto *source = reinterpret_cast<TJpegFileSource *>(info->src);
    const qint64 count
        = source->File->read(reinterpret_cast<char *>(source->Buffer), qint64(InputBufferSize));
    if (count < 0) {
        source->ReadFailed = true;
        ERREXIT(info, JERR_FILE_READ);
    }
    if (count == 0) {
        if (source->StartOfFile)
            ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        // A fake end-of-image marker lets the decoder finish a truncated file.
        source->Buffer[0] = JOCTET(0xFF);
        source->Buffer[1] = JOCTET(JPEG_EOI);
        source->Base.next_input_byte = source->Buffer;
        source->Base.bytes_in_buffer = 2;
        return TRUE;
    }
    source->Base.next_input_byte = source->Buffer;
    source->Base.bytes_in_buffer = size_t(count);
    source->StartOfFile = false;
    return TRUE;
}

static void SkipInputData(j_decompress_ptr info, long count)
{
    jpeg_source_mgr *source = info->src;
    if (count <= 0)
        return;
    while (count > long(source->bytes_in_buffer)) {
        count -= long(source->bytes_in_buffer);
        (void)(*source->fill_input_buffer)(info);
    }
    source->next_input_byte += size_t(count);
    source->bytes_in_buffer -= size_t(count);
}

static void TermSource(j_decompress_ptr) { }

} // extern "C"

bool CreateAndReadHeader(TJpegDecoder *decoder)
{
    if (setjmp(decoder->Error.Jump))
        return false;
    jpeg_create_decompress(&decoder->Info);
    decoder->Created = true;
    decoder->Info.src = &decoder->Source.Base;
    jpeg_read_header(&decoder->Info, TRUE);
    // Grey pictures are decoded as grey and widened afterwards: not every libjpeg converts
    // grey to RGB itself.
    decoder->Info.out_color_space
        = decoder->Info.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_calc_output_dimensions(&decoder->Info);
    return true;
}

bool StartDecompress(TJpegDecoder *decoder)
{
    if (setjmp(decoder->Error.Jump))
        return false;
    jpeg_start_decompress(&decoder->Info);
    return true;
}

bool ReadRows(TJpegDecoder *decoder, uchar *bits, qsizetype bytesPerLine)
{
    if (setjmp(decoder->Error.Jump))
        return false;
    jpeg_decompress_struct *info = &decoder->Info;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = bits + qsizetype(info->output_scanline) * bytesPerLine;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

[[noreturn]] void Fail(const QString &fileName, const QString &reason)
{
    throw std::runtime_error(
        u"Cannot read the JPEG picture \"%1\": %2"_s.arg(fileName, reason).toStdString());
}

// Destroys the decompressor on every way out of LoadJpegFile.
class TDecoderGuard
{
public:
    explicit TDecoderGuard(TJpegDecoder &decoder)
        : FDecoder(decoder)
    {
    }
    ~TDecoderGuard()
    {
        if (FDecoder.Created)
            jpeg_destroy_decompress(&FDecoder.Info);
    }
    TDecoderGuard(const TDecoderGuard &) = delete;
    TDecoderGuard &operator=(const TDecoderGuard &) = delete;

private:
    TJpegDecoder &FDecoder;
};

} // namespace

QImage LoadJpegFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        Fail(fileName, file.errorString());

    auto decoder = std::make_unique<TJpegDecoder>();
    decoder->Info.err = jpeg_std_error(&decoder->Error.Base);
    decoder->Error.Base.error_exit = ErrorExit;
    decoder->Error.Base.output_message = OutputMessage;
    decoder->Error.Message[0] = '\0';
    TJpegFileSource &source = decoder->Source;
    source.Base.init_source = InitSource;
    source.Base.fill_input_buffer = FillInputBuffer;
    source.Base.skip_input_data = SkipInputData;
    source.Base.resync_to_restart = jpeg_resync_to_restart;
    source.Base.term_source = TermSource;
    source.Base.bytes_in_buffer = 0;
    source.Base.next_input_byte = nullptr;
    source.File = &file;
    source.StartOfFile = true;
    source.ReadFailed = false;
    TDecoderGuard guard(*decoder);

    const auto failure = [&] {
        if (decoder->Source.ReadFailed)
            return file.errorString();
        return QString::fromLocal8Bit(decoder->Error.Message);
    };

    if (!CreateAndReadHeader(decoder.get()))
        Fail(fileName, failure());

    const jpeg_decompress_struct &info = decoder->Info;
    const qint64 bytes = qint64(info.output_width) * info.output_height * 3;
    const int limitMegabytes = QImageReader::allocationLimit();
    if (limitMegabytes > 0 && bytes > qint64(limitMegabytes) * 1024 * 1024)
        Fail(fileName,
             u"the picture of %1 x %2 pixels is larger than the limit of %3 MB"_s.arg(
                 QString::number(info.output_width), QString::number(info.output_height),
                 QString::number(limitMegabytes)));

    const bool grey = info.out_color_space == JCS_GRAYSCALE;
    QImage image(int(info.output_width), int(info.output_height),
                 grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (image.isNull())
        Fail(fileName, u"not enough memory for the picture"_s);

    if (!StartDecompress(decoder.get())
        || !ReadRows(decoder.get(), image.bits(), image.bytesPerLine()))
        Fail(fileName, failure());
    if (grey) {
        image.convertTo(QImage::Format_RGB888);
        if (image.format() != QImage::Format_RGB888)
            Fail(fileName, u"not enough memory for the picture"_s);
    }
    return image;
}
