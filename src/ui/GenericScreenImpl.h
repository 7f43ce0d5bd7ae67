#pragma once

// Shared by the files of GenericScreen (building the widgets, keeping them in step with the
// logic, the events) and included by nothing else.

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "ui/GenericScreen.h"

namespace zelvo {

QString qs(const std::string& s);
bool isInput(const QWidget* w);
QStringList toList(const std::vector<std::string>& items);

// The cells of a sheet control as the table view asks for them: only those it paints, each
// time it paints them, from the screen's SheetSource. A cell edited in the view goes to the
// logic as typed through `enter`; after every event the view calls refresh().
class SheetTableModel : public QAbstractTableModel {
  public:
    using Source = std::function<const SheetSource*()>;
    using Enter = std::function<void(int row, int column, const QString& text)>;
    SheetTableModel(Source source, Enter enter, QObject* parent);

    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // The sheet may have changed anywhere: a new extent resets the model, otherwise every
    // cell is announced changed (the view repaints only the visible ones).
    void refresh();
    // The column widths the view last applied from the sheet, in characters.
    std::vector<int> appliedWidths;

  private:
    Source m_source;
    Enter m_enter;
    int m_rows = 0;
    int m_columns = 0;
};

// Defined here because every file of the view hands its events to the logic through it.
template <typename F>
void GenericScreen::dispatch(F&& event) {
    if (m_inEvent || m_unloaded) {
        return;
    }
    m_inEvent = true;
    readInputs();
    try {
        event(*m_logic);
    } catch (const std::exception& e) {
        // A fault of the program must not take the operator's other windows down with it:
        // the transactions it was in have rolled back while it unwound, and the screen goes on.
        reportFault(e.what());
    } catch (...) {
        reportFault("eccezione sconosciuta");
    }
    applyChanges();
    applyFocus();
    m_inEvent = false;
    if (m_logic->closeRequested() && !m_closeApproved) {
        m_closeApproved = true;
        frame()->close();
    }
}

}  // namespace zelvo
