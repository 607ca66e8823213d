#include "Quantize.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace resgen {

namespace {

struct Entry {
    QRgb rgb;
    int count;
};

int Channel(QRgb c, int channel)
{
    return channel == 0 ? qRed(c) : channel == 1 ? qGreen(c) : qBlue(c);
}

struct Span {
    std::vector<Entry>::iterator begin, end;

    int Range(int channel) const
    {
        int lo = 255, hi = 0;
        for (auto it = begin; it != end; ++it) {
            lo = std::min(lo, Channel(it->rgb, channel));
            hi = std::max(hi, Channel(it->rgb, channel));
        }
        return hi - lo;
    }

    long long Weight() const
    {
        long long total = 0;
        for (auto it = begin; it != end; ++it)
            total += it->count;
        return total;
    }

    QRgb Mean() const
    {
        long long r = 0, g = 0, b = 0, n = 0;
        for (auto it = begin; it != end; ++it) {
            r += qRed(it->rgb) * static_cast<long long>(it->count);
            g += qGreen(it->rgb) * static_cast<long long>(it->count);
            b += qBlue(it->rgb) * static_cast<long long>(it->count);
            n += it->count;
        }
        return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
    }
};

std::vector<QRgb> MedianCut(std::vector<Entry>& entries, int colours)
{
    std::vector<Span> spans{{entries.begin(), entries.end()}};
    while (static_cast<int>(spans.size()) < colours) {
        // Split the span whose widest channel, weighted by its pixels, is largest.
        int best = -1, bestChannel = 0;
        double bestScore = 0;
        for (int i = 0; i < static_cast<int>(spans.size()); ++i) {
            if (std::distance(spans[i].begin, spans[i].end) < 2)
                continue;
            for (int ch = 0; ch < 3; ++ch) {
                const double score = double(spans[i].Range(ch)) * double(spans[i].Weight());
                if (score > bestScore) {
                    bestScore = score;
                    best = i;
                    bestChannel = ch;
                }
            }
        }
        if (best < 0)
            break;
        Span span = spans[best];
        std::sort(span.begin, span.end, [bestChannel](const Entry& a, const Entry& b) {
            return Channel(a.rgb, bestChannel) < Channel(b.rgb, bestChannel);
        });
        const long long half = span.Weight() / 2;
        long long seen = 0;
        auto cut = span.begin;
        while (cut != span.end - 1 && seen + cut->count <= half)
            seen += (cut++)->count;
        if (cut == span.begin)
            ++cut;
        spans[best] = {span.begin, cut};
        spans.push_back({cut, span.end});
    }
    std::vector<QRgb> palette;
    for (const Span& span : spans)
        palette.push_back(span.Mean());
    return palette;
}

int Nearest(const std::vector<QRgb>& palette, QRgb c)
{
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
        const int dr = qRed(palette[i]) - qRed(c);
        const int dg = qGreen(palette[i]) - qGreen(c);
        const int db = qBlue(palette[i]) - qBlue(c);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

}  // namespace

QImage ToIndexed8(const QImage& picture)
{
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x)
            ++counts[line[x] | 0xff000000u];
    }
    std::vector<Entry> entries;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        entries.push_back({it.key(), it.value()});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.rgb < b.rgb; });

    std::vector<QRgb> palette;
    if (entries.size() <= 256) {
        for (const Entry& e : entries)
            palette.push_back(e.rgb);
    } else {
        palette = MedianCut(entries, 256);
    }
    QHash<QRgb, int> indexOf;
    for (const Entry& e : entries)
        indexOf.insert(e.rgb, Nearest(palette, e.rgb));

    QImage indexed(source.size(), QImage::Format_Indexed8);
    QList<QRgb> table(palette.begin(), palette.end());
    while (table.size() < 256)
        table.append(qRgb(0, 0, 0) | 0xff000000u);
    indexed.setColorTable(table);
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < source.width(); ++x)
            out[x] = static_cast<uchar>(indexOf.value(line[x] | 0xff000000u));
    }
    return indexed;
}

}  // namespace resgen
