#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <vector>

class CProfileFile;

// One USB printer found by discovery.
struct UsbPortEntry {
    QString portName;    // "USB%03d:" from the entry's 1-based position: what the operator sees
    QString devicePath;  // what the USB transport opens, /dev/usb/lpN

    friend bool operator==(const UsbPortEntry&, const UsbPortEntry&) = default;
};

// Where NV.inf names the printer maker's USB vendor ids: [USB] VENDORIDS=,
// a comma-separated list of four-digit hexadecimal ids ("0f0f,1A2B").
inline constexpr char kSectionUsb[] = "USB";
inline constexpr char kKeyVendorIds[] = "VENDORIDS";

// The vendor ids of the model file, in file order, in lower case (the file
// may use either case), without duplicates. Entries that are not four
// hexadecimal digits are left out. Empty when the file names none; discovery
// then accepts every printer-class device.
QStringList ReadUsbVendorIds(const CProfileFile& file);

// What probing one interface index found.
struct UsbInterfaceProbe {
    enum Outcome { NoMoreInterfaces, NotAPrinter, Printer };
    Outcome outcome = NotAPrinter;
    QString devicePath;  // for Printer
};

// The batch rule of discovery: indices are probed in batches 0-7, 8-15,
// 16-31, 32-63 ... (each batch ends at twice its start). Probing stops at
// NoMoreInterfaces, and after the first batch in which a printer was found,
// so printers beyond that batch are not listed. Entries are named USB001:,
// USB002: ... in the order found.
std::vector<UsbPortEntry> CollectUsbPrinters(const std::function<UsbInterfaceProbe(int index)>& probe);

// Lists the USB printers that are plugged in and can be opened.
//
// The interfaces are the printer-class nodes sysfsRoot/class/usbmisc/lpN; N
// is the interface index the batch rule runs over, and the device path is
// deviceRoot/usb/lpN. For each one it writes "Attempting to open <path>\n" to
// trace, checks the vendor and test-opens the path for reading and writing;
// a device that cannot be opened (in use, no permission, node missing) is
// skipped after "FAILED to open <path>\n".
//
// Vendor check: the idVendor of the USB device the interface belongs to
// (found by walking up from the node's device link) must equal one of
// vendorIds exactly. The kernel writes idVendor in lower case and
// ReadUsbVendorIds gives lower case, so real devices match; an id in upper
// case (which no kernel writes) does not. An empty vendorIds accepts every
// printer.
//
// Reads the file system only; any thread.
std::vector<UsbPortEntry> EnumerateUsbPrinters(const QString& sysfsRoot, const QStringList& vendorIds,
                                               const QString& deviceRoot = QStringLiteral("/dev"),
                                               std::FILE* trace = stdout);
