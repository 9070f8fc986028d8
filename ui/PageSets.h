#pragma once
// TfmnoxQuivraCplSets, the tracker parameters page: the fields of the tracker's parameter block,
// read from its EEPROM (by itself every 2.5 s while the block is stale, or on request) and
// written back.

#include <QTimer>
#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class TDmTrackCpl;
class TJvImgBtn;

class TfmnoxQuivraCplSets : public QWidget {
    Q_OBJECT
public:
    // The core is not owned and must outlive the page. JvTimer1 starts at once.
    explicit TfmnoxQuivraCplSets(TDmTrackCpl& core, QWidget* parent = nullptr);

    // JvTimer1's tick: with a device missing, disable everything; else read when the block is
    // marked stale (Track_Need_Read).
    void JvTimer1Timer();
    // "Считать параметры": read the block and show it, then enable the fields.
    void JvBtn_YNQ_Get_EEPROMClick();
    // "Записать параметры": clamp the texts, read the block afresh, merge the fields into it and
    // write it. When the fresh read fails, its error has been shown and nothing is written:
    // the device keeps its parameters and the page keeps the entries.
    void JvBtn_YNQ_Set_EEPROMClick();
    // Clamps every numeric field's text to its range (a text that is not an integer counts as 0).
    void InputControl();

    // The eighteen inputs in tab order, and the buttons.
    QComboBox* YNQ_CMN_mode = nullptr;
    QLineEdit* YNQ_CMN_rotate = nullptr;
    QLineEdit* YNQ_CMN_dbx = nullptr;
    QLineEdit* YNQ_CMN_dby = nullptr;
    QLineEdit* YNQ_CMN_ratio = nullptr;
    QLineEdit* YNQ_PA1_flt = nullptr;
    QLineEdit* YNQ_PA2_flt = nullptr;
    QLineEdit* YNQ_PA1_kdh = nullptr;
    QLineEdit* YNQ_PA2_kdh = nullptr;
    QLineEdit* YNQ_PA1_kdl = nullptr;
    QLineEdit* YNQ_PA2_kdl = nullptr;
    QLineEdit* YNQ_LA1_dzl = nullptr;
    QLineEdit* YNQ_LA2_dzl = nullptr;
    QLineEdit* YNQ_LA1_dzh = nullptr;
    QLineEdit* YNQ_LA2_dzh = nullptr;
    QLineEdit* YNQ_LA1_prcs = nullptr;
    QLineEdit* YNQ_LA2_prcs = nullptr;
    QComboBox* YNQ_CMN_ddz = nullptr;
    TJvImgBtn* JvBtn_YNQ_Get_EEPROM = nullptr;
    TJvImgBtn* JvBtn_YNQ_Set_EEPROM = nullptr;
    QTimer JvTimer1;

    // All eighteen inputs in tab order.
    std::vector<QWidget*> Inputs() const;

private:
    void FormCreate();
    void SetControlsEnabled(bool enabled);
    void ReadAndShow();
    void ShowBlock();
    void WriteSequence();
    void BuildLabels();

    TDmTrackCpl& core_;
};
