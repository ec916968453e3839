#include "ScriptModel.h"

#include <QStringDecoder>

#include <array>

namespace framequill {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned bytes keep their Latin-1
// control characters.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString DecodeForDisplay(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += QChar(byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

void ScriptModel::SetLines(Script lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

void ScriptModel::RowsChanged(std::size_t first, std::size_t last) {
    if (lines_.empty())
        return;
    last = std::min(last, lines_.size() - 1);
    if (first > last)
        return;
    emit dataChanged(index(static_cast<int>(first)), index(static_cast<int>(last)), {Qt::DisplayRole});
}

int ScriptModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ScriptModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || static_cast<std::size_t>(index.row()) >= lines_.size())
        return {};
    return DecodeForDisplay(lines_[static_cast<std::size_t>(index.row())]);
}

} // namespace framequill
