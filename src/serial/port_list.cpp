#include "serial/port_list.h"

#include <libudev.h>

#include <cstring>
#include <map>
#include <memory>

#include "serial/port_order.h"

namespace {

std::string text(const char* value) {
    return value != nullptr ? value : "";
}

// udev writes the blanks of a model's or maker's name as underscores.
std::string nameText(const char* value) {
    std::string name = text(value);
    for (char& c : name) c = c == '_' ? ' ' : c;
    return name;
}

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};

// A legacy UART that the kernel registers without hardware behind it reports type 0 (no
// UART); listing those would put dozens of dead ttyS ports before nothing.
bool isRealPort(udev_device* device) {
    udev_device* parent = udev_device_get_parent(device);
    if (parent == nullptr || udev_device_get_driver(parent) == nullptr) return false;
    if (text(udev_device_get_driver(parent)) != "serial8250") return true;
    return text(udev_device_get_sysattr_value(device, "type")) != "0";
}

PortInfo describe(udev_device* device) {
    PortInfo info;
    info.path = text(udev_device_get_devnode(device));
    for (udev_list_entry* link = udev_device_get_devlinks_list_entry(device); link != nullptr;
         link = udev_list_entry_get_next(link)) {
        const std::string name = text(udev_list_entry_get_name(link));
        if (name.starts_with("/dev/serial/by-id/")) info.byId = name;
    }
    const std::string vendor = text(udev_device_get_property_value(device, "ID_VENDOR_ID"));
    const std::string product = text(udev_device_get_property_value(device, "ID_MODEL_ID"));
    if (!vendor.empty() && !product.empty()) info.usbId = vendor + ":" + product;
    info.serial = text(udev_device_get_property_value(device, "ID_SERIAL_SHORT"));
    info.description = nameText(udev_device_get_property_value(device, "ID_MODEL"));
    info.manufacturer = nameText(udev_device_get_property_value(device, "ID_VENDOR"));
    return info;
}

std::map<std::string, PortInfo> portsByPath() {
    std::map<std::string, PortInfo> ports;
    const std::unique_ptr<udev, UdevDeleter> context(udev_new());
    if (!context) return ports;
    const std::unique_ptr<udev_enumerate, UdevDeleter> scan(udev_enumerate_new(context.get()));
    udev_enumerate_add_match_subsystem(scan.get(), "tty");
    udev_enumerate_scan_devices(scan.get());
    for (udev_list_entry* entry = udev_enumerate_get_list_entry(scan.get()); entry != nullptr;
         entry = udev_list_entry_get_next(entry)) {
        const std::unique_ptr<udev_device, UdevDeleter> device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!device || udev_device_get_devnode(device.get()) == nullptr) continue;
        if (!isRealPort(device.get())) continue;
        PortInfo info = describe(device.get());
        ports[info.path] = info;
    }
    return ports;
}

}  // namespace

std::vector<PortInfo> systemSerialPorts() {
    std::vector<PortInfo> ports;
    for (auto& [path, info] : portsByPath()) ports.push_back(std::move(info));
    return ports;
}

std::vector<PortInfo> candidatePorts(std::span<const std::string> given) {
    const std::map<std::string, PortInfo> found = portsByPath();
    std::vector<std::string> system;
    for (const auto& [path, info] : found) system.push_back(path);
    std::vector<PortInfo> ports;
    for (const std::string& path : orderPorts(given, system)) {
        const auto known = found.find(path);
        PortInfo info;
        if (known != found.end()) info = known->second;
        info.path = path;
        for (const std::string& name : given) info.given = info.given || name == path;
        ports.push_back(info);
    }
    return ports;
}
