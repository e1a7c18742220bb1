#pragma once
// libusb as the carrier of the descriptor reader's control requests.

#include "link/usbdescriptorreader.h"

struct libusb_device_handle;

namespace usbdescriptors {

// Synchronous control transfers on an open device; the handle must outlive the carrier.
TimedControlIn libusbControl(libusb_device_handle* handle);

}  // namespace usbdescriptors
