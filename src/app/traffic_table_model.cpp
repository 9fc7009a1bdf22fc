#include "app/traffic_table_model.h"

#include <QBrush>
#include <QFontDatabase>
#include <algorithm>

#include "link/frame_text.h"

TrafficTableModel::TrafficTableModel(const TrafficRing& ring, QObject* parent)
    : QAbstractTableModel(parent),
      m_Ring(ring),
      m_HexFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)) {
    rebuild();
}

void TrafficTableModel::setFilter(int code, Direction direction) {
    m_Code = code;
    m_Direction = direction;
    rebuild();
}

bool TrafficTableModel::passes(const TrafficEntry& entry) const {
    if (m_Direction == Direction::ToAcu && entry.kind != TrafficKind::Sent) return false;
    if (m_Direction == Direction::FromAcu && !entry.fromAcu()) return false;
    if (m_Code == kAllButPolls) return entry.code() != cmd::StatusPoll;
    return m_Code == kAllCodes || entry.code() == m_Code;
}

void TrafficTableModel::rebuild() {
    beginResetModel();
    m_Rows.clear();
    for (std::uint64_t s = m_Ring.firstSequence(); s < m_Ring.endSequence(); ++s) {
        if (passes(*m_Ring.find(s))) m_Rows.push_back(s);
    }
    m_Next = m_Ring.endSequence();
    endResetModel();
}

int TrafficTableModel::refresh() {
    // Nothing new and nothing pushed out: the view hears nothing, so it paints nothing.
    if (m_Next == m_Ring.endSequence() &&
        (m_Rows.empty() || m_Rows.front() >= m_Ring.firstSequence())) {
        return 0;
    }
    int gone = 0;
    while (gone < static_cast<int>(m_Rows.size()) &&
           m_Rows[static_cast<std::size_t>(gone)] < m_Ring.firstSequence()) {
        ++gone;
    }
    if (gone > 0) {
        beginRemoveRows({}, 0, gone - 1);
        m_Rows.erase(m_Rows.begin(), m_Rows.begin() + gone);
        endRemoveRows();
    }
    std::deque<std::uint64_t> added;
    for (std::uint64_t s = std::max(m_Next, m_Ring.firstSequence()); s < m_Ring.endSequence();
         ++s) {
        if (passes(*m_Ring.find(s))) added.push_back(s);
    }
    m_Next = m_Ring.endSequence();
    if (added.empty()) return 0;
    const int first = static_cast<int>(m_Rows.size());
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    m_Rows.insert(m_Rows.end(), added.begin(), added.end());
    endInsertRows();
    return static_cast<int>(added.size());
}

const TrafficEntry* TrafficTableModel::entryAt(int row) const {
    if (row < 0 || row >= static_cast<int>(m_Rows.size())) return nullptr;
    return m_Ring.find(m_Rows[static_cast<std::size_t>(row)]);
}

int TrafficTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
}

int TrafficTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrafficTableModel::data(const QModelIndex& index, int role) const {
    const TrafficEntry* entry = entryAt(index.row());
    if (entry == nullptr) return {};
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case TimeColumn:
                return QString::number(static_cast<double>(entry->at.count()) / 1000.0, 'f', 1);
            case DirectionColumn:
                return QString::fromLatin1(trafficDirection(*entry));
            case CodeColumn:
                return QString::fromStdString(trafficCode(*entry));
            case MeaningColumn:
                return QString::fromStdString(trafficMeaning(*entry));
            case HexColumn:
                return QString::fromStdString(trafficHex(*entry));
            default:
                return {};
        }
    }
    // A long meaning is cut by its column; the whole of it is one hover away.
    if (role == Qt::ToolTipRole && index.column() == MeaningColumn) {
        return QString::fromStdString(trafficMeaning(*entry));
    }
    if (role == Qt::TextAlignmentRole && index.column() <= CodeColumn) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::FontRole && index.column() == HexColumn) {
        return m_HexFont;
    }
    if (role == Qt::ForegroundRole) {
        // What the line did wrong stands out; the program's own commands are told apart from
        // the ACU's replies at a glance.
        switch (entry->kind) {
            case TrafficKind::Discarded:
            case TrafficKind::Rejected:
                return QBrush(QColor(200, 0, 0));
            case TrafficKind::LinkOpened:
                return QBrush(QColor(128, 128, 128));
            case TrafficKind::Sent:
                return QBrush(QColor(0, 0, 160));
            default:
                return {};
        }
    }
    return {};
}

QVariant TrafficTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const char* const kHeaders[] = {"Time (ms)", "Direction", "Code", "Meaning", "Hex"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kHeaders[section])
                                                 : QVariant();
}
