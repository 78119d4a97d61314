#include "scalebitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUENBRY_SCALE_SSE2 1
#endif

namespace {

constexpr int BytesPerPixel = 3;

// Sums a run of source rows column by column. The rows are walked in narrow strips whose sums
// stay in registers, and the fixed strip width lets the compiler vectorise at -O2; this pass
// reads every source byte once and dominates the routine's cost.
template<typename TAcc>
void SumRows(TAcc *__restrict sums, const uchar *const *rows, int rowCount, qsizetype count)
{
    constexpr qsizetype Strip = 32;
    qsizetype i = 0;
    for (; i + Strip <= count; i += Strip) {
        TAcc strip[Strip] = {};
        for (int r = 0; r < rowCount; ++r) {
            const uchar *__restrict row = rows[r] + i;
            for (qsizetype j = 0; j < Strip; ++j)
                strip[j] = static_cast<TAcc>(strip[j] + row[j]);
        }
        for (qsizetype j = 0; j < Strip; ++j)
            sums[i + j] = strip[j];
    }
    for (; i < count; ++i) {
        TAcc sum = 0;
        for (int r = 0; r < rowCount; ++r)
            sum = static_cast<TAcc>(sum + rows[r][i]);
        sums[i] = sum;
    }
}

#ifdef QUENBRY_SCALE_SSE2
// The same column sums in 16 bits, 32 columns at a time held in registers.
void SumRows(quint16 *sums, const uchar *const *rows, int rowCount, qsizetype count)
{
    const __m128i zero = _mm_setzero_si128();
    qsizetype i = 0;
    for (; i + 32 <= count; i += 32) {
        __m128i a0 = zero, a1 = zero, a2 = zero, a3 = zero;
        for (int r = 0; r < rowCount; ++r) {
            const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[r] + i));
            const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[r] + i + 16));
            a0 = _mm_add_epi16(a0, _mm_unpacklo_epi8(v0, zero));
            a1 = _mm_add_epi16(a1, _mm_unpackhi_epi8(v0, zero));
            a2 = _mm_add_epi16(a2, _mm_unpacklo_epi8(v1, zero));
            a3 = _mm_add_epi16(a3, _mm_unpackhi_epi8(v1, zero));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(sums + i), a0);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(sums + i + 8), a1);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(sums + i + 16), a2);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(sums + i + 24), a3);
    }
    for (; i < count; ++i) {
        quint16 sum = 0;
        for (int r = 0; r < rowCount; ++r)
            sum = static_cast<quint16>(sum + rows[r][i]);
        sums[i] = sum;
    }
}

// Adds the column sums of one block, all three channels at once in 32-bit lanes. Reads one
// 16-bit value past the block's last pixel, so the sums need one spare element at the end.
inline void SumBlock16(const quint16 *in, qint32 columns, quint32 (&out)[4])
{
    const __m128i zero = _mm_setzero_si128();
    // Two sums, so that consecutive additions do not wait for each other.
    __m128i even = zero, odd = zero;
    qint32 c = 0;
    for (; c + 2 <= columns; c += 2, in += 2 * BytesPerPixel) {
        const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(in));
        const __m128i second
            = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(in + BytesPerPixel));
        even = _mm_add_epi32(even, _mm_unpacklo_epi16(first, zero));
        odd = _mm_add_epi32(odd, _mm_unpacklo_epi16(second, zero));
    }
    if (c < columns) {
        const __m128i last = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(in));
        even = _mm_add_epi32(even, _mm_unpacklo_epi16(last, zero));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_add_epi32(even, odd));
}
#endif

// The average of a block, scaled by 65535/65536 and truncated: one integer division per
// destination pixel instead of one per channel.
inline uchar BlockValue(quint64 sum, quint64 weight, quint64 pixels)
{
    if (weight != 0)
        return static_cast<uchar>((sum * weight) >> 16);
    // Blocks of more than 65535 pixels would get weight 0 and come out black; use the plain
    // average there instead.
    return static_cast<uchar>(sum / pixels);
}

// Sums the three channels of one block from the column sums.
template<typename TAcc>
void SumBlock(const TAcc *in, qint32 columns, quint64 pixels, quint64 (&sum)[3])
{
#ifdef QUENBRY_SCALE_SSE2
    // 32-bit lanes hold any block of up to 2^32 / 255 pixels.
    if constexpr (std::is_same_v<TAcc, quint16>) {
        if (pixels <= 0xFFFFFFFFu / 255u) {
            quint32 lanes[4];
            SumBlock16(in, columns, lanes);
            sum[0] = lanes[0];
            sum[1] = lanes[1];
            sum[2] = lanes[2];
            return;
        }
    }
#else
    Q_UNUSED(pixels);
#endif
    sum[0] = sum[1] = sum[2] = 0;
    for (qint32 c = 0; c < columns; ++c, in += BytesPerPixel) {
        sum[0] += in[0];
        sum[1] += in[1];
        sum[2] += in[2];
    }
}

template<typename TAcc>
void ShrinkInto(const QImage &source, QImage &dest, const std::vector<TScaleSpan> &columns,
                const std::vector<TScaleSpan> &rows)
{
    const qsizetype rowBytes = qsizetype(source.width()) * BytesPerPixel;
    // One spare element for the last 64-bit read of SumBlock16.
    std::vector<TAcc> sums(static_cast<size_t>(rowBytes) + 1);
    std::vector<const uchar *> lines;
    for (size_t y = 0; y < rows.size(); ++y) {
        const TScaleSpan rowSpan = rows[y];
        // A picture lower than the thumbnail is stretched: runs of destination rows come from
        // the same source rows and so are equal. Working each out again would make a very wide,
        // flat picture cost a hundred passes over its whole width.
        if (y > 0 && rowSpan == rows[y - 1]) {
            std::memcpy(dest.scanLine(static_cast<int>(y)),
                        dest.constScanLine(static_cast<int>(y) - 1),
                        static_cast<size_t>(columns.size()) * BytesPerPixel);
            continue;
        }
        lines.clear();
        for (qint32 r = 0; r < rowSpan.Count; ++r)
            lines.push_back(source.constScanLine(rowSpan.First + r));
        SumRows(sums.data(), lines.data(), rowSpan.Count, rowBytes);

        uchar *out = dest.scanLine(static_cast<int>(y));
        for (const TScaleSpan &columnSpan : columns) {
            const quint64 pixels = quint64(columnSpan.Count) * quint64(rowSpan.Count);
            quint64 sum[3];
            SumBlock(sums.data() + qsizetype(columnSpan.First) * BytesPerPixel, columnSpan.Count,
                     pixels, sum);
            const quint64 weight = 65535u / pixels;
            for (int channel = 0; channel < BytesPerPixel; ++channel)
                out[channel] = BlockValue(sum[channel], weight, pixels);
            out += BytesPerPixel;
        }
    }
}

// Centre 12/8, each diagonal neighbour -1/8. In place and top-down, so the row above is read
// already sharpened and the row below not yet; the outermost rows and columns stay as they are.
void Sharpen(QImage &image)
{
    const int width = image.width();
    const int height = image.height();
    if (height < 3)
        return;
    for (int y = 1; y <= height - 2; ++y) {
        const uchar *above = image.constScanLine(y - 1);
        const uchar *below = image.constScanLine(y + 1);
        uchar *line = image.scanLine(y);
        for (int i = BytesPerPixel; i < (width - 1) * BytesPerPixel; ++i) {
            const int corners = above[i - BytesPerPixel] + above[i + BytesPerPixel]
                + below[i - BytesPerPixel] + below[i + BytesPerPixel];
            const int value = (12 * line[i] - corners) / 8;
            line[i] = static_cast<uchar>(std::clamp(value, 0, 255));
        }
    }
}

} // namespace

std::vector<TScaleSpan> ScaleSpans(int sourceLength, quint16 size)
{
    std::vector<TScaleSpan> spans;
    if (sourceLength <= 0 || size == 0)
        return spans;
    // Both divisions in extended precision, the result rounded to a 32-bit float: the rounding
    // decides where the runs end, so it must be reproduced exactly.
    const float ratio = static_cast<float>(
        1.0L / (static_cast<long double>(size) / static_cast<long double>(sourceLength)));
    // k x ratio is exact in a double (16-bit integer times 24-bit mantissa).
    const auto boundary = [&](int k) {
        const auto t = static_cast<qint64>(static_cast<double>(k) * static_cast<double>(ratio));
        return static_cast<qint32>(std::min<qint64>(t, sourceLength));
    };
    spans.reserve(size);
    qint32 start = 0;
    for (int k = 1; k <= size; ++k) {
        const qint32 end = boundary(k);
        // A ratio below 1 gives empty runs; every destination pixel takes at least one source
        // pixel, so that direction is stretched instead.
        const qint32 first = std::min(start, sourceLength - 1);
        spans.push_back({first, std::max(end, first + 1) - first});
        start = end;
    }
    return spans;
}

void ScaleBitmap(QImage &source, QImage &dest, quint16 size)
{
    if (!source.isNull() && source.format() != ThumbnailFormat) {
        source.convertTo(ThumbnailFormat);
        if (source.format() != ThumbnailFormat)
            throw std::bad_alloc();
    }

    if (source.width() <= size && source.height() <= size) {
        dest = source;
        return;
    }

    QImage result(size, size, ThumbnailFormat);
    if (size > 0 && result.isNull())
        throw std::bad_alloc();
    if (size > 0) {
        const std::vector<TScaleSpan> columns = ScaleSpans(source.width(), size);
        const std::vector<TScaleSpan> rows = ScaleSpans(source.height(), size);
        const qint32 tallest = std::max_element(rows.begin(), rows.end(), [](auto a, auto b) {
                                   return a.Count < b.Count;
                               })->Count;
        // 16-bit column sums hold up to 257 rows of 255.
        if (tallest <= 257)
            ShrinkInto<quint16>(source, result, columns, rows);
        else
            ShrinkInto<quint32>(source, result, columns, rows);
        Sharpen(result);
    }
    dest = std::move(result);
}
