#include "gui/plots/stored_series.h"

#include "core/records/amperes.h"
#include "core/records/record_store.h"

#include <qcustomplot.h>

#include <QDate>
#include <QTime>

#include <algorithm>
#include <limits>

namespace {

constexpr int kLastYearOfCentury = 99;
constexpr qint64 kJulianDayOf1970 = 2440588;
constexpr qint64 kSecondsPerDay = 24 * 60 * 60;
constexpr int kSecondsPerHour = 60 * 60;
constexpr int kSecondsPerMinute = 60;
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

using Lines = std::array<QVector<QCPGraphData>, StoredSeries::kChannels>;

}  // namespace

// A graph's data that can make room in advance. Appending to a full vector
// copies all of it to a larger one: at 70000 and 130000 groups that took a
// block 5 ms instead of 1.
class ReservableGraphData : public QCPGraphDataContainer {
public:
    void reserve(qsizetype more) { mData.reserve(mData.size() + more); }
    // Points whose keys are at or after the last one's, added at the end, in
    // the room reserved; QCP's own add() sets an empty container's vector
    // anew and loses it.
    void append(const QVector<QCPGraphData> &points) { mData.append(points); }
};

StoredSeries::StoredSeries(const RecordStore &store,
                           const std::array<QCPGraph *, kChannels> &graphs)
    : store_(store)
{
    for (int c = 0; c < kChannels; ++c) {
        lines_[c].reset(new ReservableGraphData);
        graphs[c]->setData(lines_[c].staticCast<QCPGraphDataContainer>());
    }
}

StoredSeries::~StoredSeries() = default;

std::optional<double> StoredSeries::timeKey(const GroupRecord &record, quint8 secFlag)
{
    const int year = record_store::kCentury + record.year;
    const int second = secFlag == record_store::kWithSeconds ? record.second : 0;
    if (record.year > kLastYearOfCentury || !QDate::isValid(year, record.month, record.day)
        || !QTime::isValid(record.hour, record.minute, second))
        return std::nullopt;
    // Day and seconds counted by hand: a QDateTime per group would cost more
    // than everything else in drawing a full store.
    const qint64 day = QDate(year, record.month, record.day).toJulianDay() - kJulianDayOf1970;
    return double(day * kSecondsPerDay + record.hour * kSecondsPerHour
                  + record.minute * kSecondsPerMinute + second);
}

std::optional<StoredSeries::Point> StoredSeries::pointOf(qint32 g) const
{
    if (axis_ == Axis::Group)
        return Point{double(g), g};
    const std::optional<double> key = timeKey(store_.recordAt(g), secFlag_);
    if (!key)
        return std::nullopt;
    return Point{*key, g};
}

std::vector<StoredSeries::Point> StoredSeries::pointsOf(qint32 first, qint32 last) const
{
    std::vector<Point> points;
    if (last >= first)
        points.reserve(std::size_t(last - first) + 1);
    for (qint32 g = first; g <= last; ++g) {
        if (!store_.isPresent(g))
            continue;
        if (const std::optional<Point> point = pointOf(g))
            points.push_back(*point);
    }
    // Time stamps follow the group numbers unless the instrument's clock was
    // set back; equal stamps keep their groups' order.
    const auto byKey = [](const Point &a, const Point &b) { return a.key < b.key; };
    if (!std::is_sorted(points.begin(), points.end(), byKey))
        std::stable_sort(points.begin(), points.end(), byKey);
    return points;
}

void StoredSeries::draw(const std::vector<Point> &points, const Point *before, bool append)
{
    Lines lines;
    for (QVector<QCPGraphData> &line : lines)
        line.reserve(qsizetype(points.size()));
    const Point *previous = before;
    for (const Point &point : points) {
        // A group missing between two drawn ones breaks the lines halfway.
        if (previous && point.group != previous->group + 1) {
            for (QVector<QCPGraphData> &line : lines)
                line.append(QCPGraphData((previous->key + point.key) / 2, kNoValue));
        }
        const GroupRecord record = store_.recordAt(point.group);
        for (int c = 0; c < kChannels; ++c) {
            const std::optional<double> value =
                reading_amperes::amperes(record.val[c], record.stat[c]);
            lines[c].append(QCPGraphData(point.key, value.value_or(kNoValue)));
        }
        previous = &point;
    }
    // Lines drawn anew take the vectors without a copy.
    for (int c = 0; c < kChannels; ++c) {
        if (append)
            lines_[c]->append(lines[c]);
        else
            lines_[c]->set(lines[c], true);
    }
}

void StoredSeries::rebuild(qint32 first, qint32 last, quint8 secFlag, Axis axis)
{
    secFlag_ = secFlag;
    axis_ = axis;
    points_ = pointsOf(first, last);
    lastGroup_ = last;
    draw(points_, nullptr, false);
}

void StoredSeries::append(qint32 first, qint32 last)
{
    std::vector<Point> points = pointsOf(std::max(first, lastGroup_ + 1), last);
    lastGroup_ = std::max(lastGroup_, last);
    if (points.empty())
        return;
    if (points_.empty() || points.front().key >= points_.back().key) {
        draw(points, points_.empty() ? nullptr : &points_.back(), true);
        points_.insert(points_.end(), points.begin(), points.end());
        return;
    }
    // Stamps earlier than some drawn ones (a clock set back): merged in their
    // order, and the lines drawn anew, since their gaps change too.
    const auto middle = points_.insert(points_.end(), points.begin(), points.end());
    std::inplace_merge(points_.begin(), middle, points_.end(),
                       [](const Point &a, const Point &b) { return a.key < b.key; });
    draw(points_, nullptr, false);
}

void StoredSeries::clear()
{
    points_.clear();
    points_.shrink_to_fit();
    lastGroup_ = -1;
    for (const QSharedPointer<ReservableGraphData> &line : lines_) {
        line->clear();
        line->squeeze();
    }
}

void StoredSeries::reserve(qint32 groups)
{
    if (groups <= 0)
        return;
    points_.reserve(points_.size() + std::size_t(groups));
    for (const QSharedPointer<ReservableGraphData> &line : lines_)
        line->reserve(groups);
}

std::optional<qint32> StoredSeries::nearestGroup(double key) const
{
    if (points_.empty())
        return std::nullopt;
    const auto after = std::lower_bound(points_.begin(), points_.end(), key,
                                        [](const Point &p, double k) { return p.key < k; });
    if (after == points_.begin())
        return after->group;
    if (after == points_.end())
        return points_.back().group;
    const auto before = after - 1;
    return key - before->key <= after->key - key ? before->group : after->group;
}
