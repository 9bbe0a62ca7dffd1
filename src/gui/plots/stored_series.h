#pragma once

#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

#include <QSharedPointer>

class QCPGraph;
class RecordStore;
struct GroupRecord;
class ReservableGraphData;

// The three lines of the stored groups, kept in the chart's graphs: one point
// per present group at its group number or its time stamp, in amperes, with
// a gap (a point without a value) for OL, err and a reading without a unit,
// and between two groups whose numbers are not next to each other.
class StoredSeries {
public:
    enum class Axis { Group, Time };
    static constexpr int kChannels = 3;  // I1 to I3, one graph each

    // Gives each graph data of the series' own, which it fills from then on.
    StoredSeries(const RecordStore &store, const std::array<QCPGraph *, kChannels> &graphs);
    ~StoredSeries();

    // Draws the present groups first to last from the store anew.
    void rebuild(qint32 first, qint32 last, quint8 secFlag, Axis axis);
    // Adds the present groups first to last, just stored after the ones
    // drawn. Groups up to the last one drawn are drawn already and left out.
    void append(qint32 first, qint32 last);
    // No groups drawn.
    void clear();
    // Room for this many more groups, made at once: a read-out's blocks are
    // then added without moving what is drawn.
    void reserve(qint32 groups);

    // The drawn group whose key is nearest to `key`; nothing when none is drawn.
    std::optional<qint32> nearestGroup(double key) const;
    // The highest group drawn or left out as absent; later groups are new.
    qint32 lastGroup() const { return lastGroup_; }
    quint8 secFlag() const { return secFlag_; }
    Axis axis() const { return axis_; }

    // A group's time stamp in seconds since 1970 in UTC, so that the axis,
    // shown in UTC, writes the instrument's own clock; nothing for a stamp
    // that is not a date and time. The second only when `secFlag` is 1.
    static std::optional<double> timeKey(const GroupRecord &record, quint8 secFlag);

private:
    struct Point {
        double key;
        qint32 group;
    };

    // The point of present group g, nothing when g has no place on the axis.
    std::optional<Point> pointOf(qint32 g) const;
    // The present groups first to last as points, in the order of their keys.
    std::vector<Point> pointsOf(qint32 first, qint32 last) const;
    // Puts the points into the lines, after `before` (nothing at the start):
    // their values, and a gap where the group numbers jump. They replace the
    // lines, or are appended to them when all their keys come after the
    // lines' last.
    void draw(const std::vector<Point> &points, const Point *before, bool append);

    const RecordStore &store_;
    std::array<QSharedPointer<ReservableGraphData>, kChannels> lines_;
    quint8 secFlag_ = 0;
    Axis axis_ = Axis::Group;
    std::vector<Point> points_;  // the drawn groups, in the order of their keys
    qint32 lastGroup_ = -1;
};
