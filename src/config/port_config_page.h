#pragma once

#include "config/port_settings.h"
#include "config/profile_file.h"
#include "config/usb_discovery.h"

#include <vector>

class CIpAddressCtrl;
class QComboBox;
class QLabel;
class QLineEdit;
class CDialog;
class QWidget;

// Step 3 of the configuration dialog: the settings page of one interface.
// Serial shows port, baud rate, data bits, stop bits and parity; Parallel
// and USB the port alone; Ethernet the printer's IP address and TCP port in
// the places of the port and the baud rate. The page fills its boxes with
// the interface's choices, shows the saved values, and turns the operator's
// choices into the keys of NV.inf.
//
// The controls belong to the dialog; the page finds them by id. User-interface
// thread only.
class CPortConfigPage {
public:
    // Finds the step-3 controls of dialog and puts the IP address control in
    // its placeholder's place, id and tab position.
    explicit CPortConfigPage(CDialog* dialog);

    // The page's fields in reading (tab) order, the address's four fields
    // included.
    std::vector<QWidget*> TabOrder() const;

    // Fills the boxes of kind with its choices and shows that page (labels
    // "IP :" and "Port :" for Ethernet). usbPorts are the printers discovery
    // found, listed for USB ("Not Connect Printer" when none). A kind that
    // names no interface changes nothing.
    void Show(InterfaceKind kind, const std::vector<UsbPortEntry>& usbPorts);

    // Puts the saved settings of the file's interface into the boxes; a value
    // a box does not hold leaves it without a choice. samePage: the page
    // shown is the saved interface's, so a port name the operator typed
    // (/dev/ttyUSB0) is shown as typed and survives OK.
    void Restore(const CProfileFile& file, bool samePage);

    // Adds the keys of kind to writes (Serial:
    // PORTNAME, BAUDRATE, PARITY, DATABITS, STOPBITS; Parallel: PORTNAME; USB:
    // PORTNAME and USBPORT of the chosen printer, "USB000:" and "NONE" for one
    // discovery did not find; Ethernet: PORTNAME "Ethernet", IP1..IP4, PORT).
    // The serial line's values are written from the boxes' item data; text
    // typed into one of those boxes that names none of its entries counts as
    // no choice. False, after telling the operator, when a box has no choice
    // or the TCP port is outside 1..65535; writes is then incomplete.
    bool AddWrites(InterfaceKind kind, const std::vector<UsbPortEntry>& usbPorts, std::vector<ProfileWrite>& writes);

private:
    void ShowControlsOf(InterfaceKind kind);
    bool AddEthernetWrites(std::vector<ProfileWrite>& writes);
    bool AddSerialLineWrites(std::vector<ProfileWrite>& writes);

    CDialog* m_dialog;
    CIpAddressCtrl* m_ipAddress = nullptr;
    QComboBox* m_portCombo = nullptr;
    QComboBox* m_baudRateCombo = nullptr;
    QComboBox* m_dataBitsCombo = nullptr;
    QComboBox* m_stopBitsCombo = nullptr;
    QComboBox* m_parityCombo = nullptr;
    QLineEdit* m_tcpPortEdit = nullptr;
    QLabel* m_portLabel = nullptr;
    QLabel* m_baudRateLabel = nullptr;
};
