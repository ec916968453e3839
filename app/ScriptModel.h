#pragma once

#include "script/Script.h"

#include <QAbstractListModel>

namespace framequill {

// Shows the script's lines in a list. The lines stay bytes; only their display is decoded: valid UTF-8
// as UTF-8, anything else as Windows-1252.
class ScriptModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    const Script& Lines() const { return lines_; }
    // For edits in place; tell the model which rows changed afterwards.
    Script& EditableLines() { return lines_; }
    void RowsChanged(std::size_t first, std::size_t last);
    void SetLines(Script lines);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    Script lines_;
};

QString DecodeForDisplay(const std::string& bytes);

} // namespace framequill
