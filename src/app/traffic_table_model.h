#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <cstdint>
#include <deque>

#include "link/traffic_ring.h"

// The Traffic Monitor's rows: the events of the ring that pass the filter, oldest first. It
// holds only sequence numbers; the ring holds the events, so the table costs no more memory
// than the ring does, and rows whose event the ring pushed out disappear from the top.
class TrafficTableModel : public QAbstractTableModel {
public:
    enum Column { TimeColumn, DirectionColumn, CodeColumn, MeaningColumn, HexColumn, ColumnCount };
    // Code filters beside the codes 1..42 themselves.
    static constexpr int kAllCodes = -1;
    static constexpr int kAllButPolls = -2;
    enum class Direction { Both, ToAcu, FromAcu };

    explicit TrafficTableModel(const TrafficRing& ring, QObject* parent = nullptr);

    void setFilter(int code, Direction direction);
    // Follows the ring: drops rows it pushed out, appends what is new. Returns the rows added.
    int refresh();
    // After the ring was cleared.
    void rebuild();

    const TrafficEntry* entryAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool passes(const TrafficEntry& entry) const;

    const TrafficRing& m_Ring;
    std::deque<std::uint64_t> m_Rows;
    std::uint64_t m_Next = 0;  // the first sequence number not looked at yet
    int m_Code = kAllCodes;
    Direction m_Direction = Direction::Both;
    QFont m_HexFont;  // asked for on every paint of every hex cell; looked up once
};
