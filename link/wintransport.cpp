#include "link/wintransport.h"

#include <windows.h>
#include <setupapi.h>
#include <winusb.h>

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <iterator>

#include "link/usbdescriptors.h"

namespace {

GUID instrumentInterfaceClass()
{
    const auto fields = usbdescriptors::parseGuid(usbdescriptors::kInstrumentInterfaceGuid);
    GUID guid{};
    if (!fields) return guid;  // cannot happen for the constant; finds nothing if it did
    guid.Data1 = fields->data1;
    guid.Data2 = fields->data2;
    guid.Data3 = fields->data3;
    std::copy(std::begin(fields->data4), std::end(fields->data4), std::begin(guid.Data4));
    return guid;
}

const GUID kInstrumentInterfaceClass = instrumentInterfaceClass();
constexpr std::uint8_t kInPipeBit = 0x80;
constexpr UCHAR kAlternateSetting = 0;
const char* const kPathPrefixes[] = {"\\\\?\\", "\\\\.\\"};

std::string toUtf8(const wchar_t* text, std::size_t length)
{
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string utf8(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, int(length), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

std::wstring toUtf16(const std::string& text)
{
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    if (size <= 0) return {};
    std::wstring utf16(std::size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &utf16[0], size);
    return utf16;
}

// The device path of one enumerated interface, or empty when its detail cannot be fetched.
std::string interfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* interfaceData)
{
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(set, interfaceData, nullptr, 0, &required, nullptr);
    const std::size_t pathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    if (required <= pathOffset) return {};
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(LocalAlloc(LPTR, required));
    if (!detail) return {};
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    std::string path;
    if (SetupDiGetDeviceInterfaceDetailW(set, interfaceData, detail, required, nullptr, nullptr)) {
        // Bounded by the buffer, in case the terminating NUL is missing.
        const std::size_t maxChars = (required - pathOffset) / sizeof(wchar_t);
        path = toUtf8(detail->DevicePath, wcsnlen(detail->DevicePath, maxChars));
    }
    LocalFree(detail);
    return path;
}

}  // namespace

// One overlapped WinUSB transfer: its OVERLAPPED block with a manual-reset
// event. The block and the caller's buffer belong to the system until the
// transfer has completed, also after a cancel.
class WinTransport::OverlappedTransfer : public transport::Transfer {
public:
    OverlappedTransfer() { overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~OverlappedTransfer() override
    {
        if (overlapped.hEvent) CloseHandle(overlapped.hEvent);
    }
    OVERLAPPED overlapped{};
};

WinTransport::WinTransport() : file_(INVALID_HANDLE_VALUE) {}

WinTransport::~WinTransport()
{
    closeDevice();
    // Transfers their owner never finished have completed by now (closing waits for them).
    for (OverlappedTransfer* transfer : liveTransfers_) delete transfer;
}

bool WinTransport::failWithLastError()
{
    lastError_ = int(GetLastError());
    return false;
}

int WinTransport::lastError() const { return lastError_; }

bool WinTransport::handles(const std::string& path) const
{
    for (const char* prefix : kPathPrefixes)
        if (path.rfind(prefix, 0) == 0) return true;
    return false;
}

std::vector<std::string> WinTransport::devicePaths()
{
    std::vector<std::string> paths;
    if (!presentPaths(&paths))
        failWithLastError();
    return paths;
}

bool WinTransport::deviceGone()
{
    std::vector<std::string> paths;
    if (openPath_.empty() || !presentPaths(&paths))
        return false;  // nothing open, or nothing to tell by
    return std::find(paths.begin(), paths.end(), openPath_) == paths.end();
}

bool WinTransport::presentPaths(std::vector<std::string>* paths)
{
    HDEVINFO set = SetupDiGetClassDevsW(&kInstrumentInterfaceClass, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return false;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof(interfaceData);
        if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kInstrumentInterfaceClass, index, &interfaceData)) break;
        std::string path = interfacePath(set, &interfaceData);
        if (!path.empty()) paths->push_back(std::move(path));
    }
    SetupDiDestroyDeviceInfoList(set);
    return true;
}

bool WinTransport::openDevice(const std::string& path)
{
    closeDevice();
    const std::wstring widePath = toUtf16(path);
    if (widePath.empty()) {
        lastError_ = ERROR_INVALID_NAME;
        return false;
    }
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failWithLastError();
    std::lock_guard<std::mutex> lock(stateMutex_);
    file_ = file;
    openPath_ = path;
    return true;
}

bool WinTransport::bindInterface()
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (file_ == INVALID_HANDLE_VALUE) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    if (interface_) return true;
    WINUSB_INTERFACE_HANDLE bound = nullptr;
    if (!WinUsb_Initialize(file_, &bound)) return failWithLastError();
    interface_ = bound;
    return true;
}

bool WinTransport::queryEndpointCount(int* count)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!interface_) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    USB_INTERFACE_DESCRIPTOR descriptor{};
    if (!WinUsb_QueryInterfaceSettings(interface_, kAlternateSetting, &descriptor)) return failWithLastError();
    if (count) *count = descriptor.bNumEndpoints;
    return true;
}

bool WinTransport::queryPipe(int index, transport::PipeInfo* pipe)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!interface_ || index < 0 || index > 0xFF || !pipe) {
        lastError_ = ERROR_INVALID_PARAMETER;
        return false;
    }
    WINUSB_PIPE_INFORMATION information{};
    if (!WinUsb_QueryPipe(interface_, kAlternateSetting, UCHAR(index), &information)) return failWithLastError();
    pipe->type = transport::PipeType(information.PipeType & 0x03);
    pipe->id = information.PipeId;
    return true;
}

void WinTransport::awaitTransfer(OverlappedTransfer* transfer)
{
    if (HasOverlappedIoCompleted(&transfer->overlapped)) return;
    CancelIoEx(file_, &transfer->overlapped);
    DWORD ignored = 0;
    // Waits until the system has let go of the block and the buffer.
    GetOverlappedResult(file_, &transfer->overlapped, &ignored, TRUE);
}

void WinTransport::cancelAndAwaitLiveTransfers()
{
    for (OverlappedTransfer* transfer : liveTransfers_) awaitTransfer(transfer);
}

bool WinTransport::releaseInterfaceLocked()
{
    if (!interface_) return true;
    cancelAndAwaitLiveTransfers();
    const bool freed = WinUsb_Free(interface_);
    if (!freed) failWithLastError();
    interface_ = nullptr;
    return freed;
}

bool WinTransport::releaseInterface()
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    return releaseInterfaceLocked();
}

bool WinTransport::closeDevice()
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    openPath_.clear();
    bool ok = releaseInterfaceLocked();
    if (file_ == INVALID_HANDLE_VALUE) return ok;
    cancelAndAwaitLiveTransfers();
    if (!CloseHandle(file_)) ok = failWithLastError();
    file_ = INVALID_HANDLE_VALUE;
    return ok;
}

transport::Transfer* WinTransport::startTransfer(std::uint8_t pipeId, std::uint8_t* buffer, std::uint32_t length)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!interface_) {
        lastError_ = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    auto* transfer = new OverlappedTransfer;
    if (!transfer->overlapped.hEvent) {
        failWithLastError();
        delete transfer;
        return nullptr;
    }
    const BOOL started = (pipeId & kInPipeBit)
                             ? WinUsb_ReadPipe(interface_, pipeId, buffer, length, nullptr, &transfer->overlapped)
                             : WinUsb_WritePipe(interface_, pipeId, buffer, length, nullptr, &transfer->overlapped);
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        failWithLastError();
        delete transfer;
        return nullptr;
    }
    liveTransfers_.insert(transfer);
    return transfer;
}

transport::WaitResult WinTransport::waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs)
{
    auto* overlapped = static_cast<OverlappedTransfer*>(transfer);
    if (!overlapped) return transport::WaitResult::Failed;
    switch (WaitForSingleObject(overlapped->overlapped.hEvent, timeoutMs)) {
    case WAIT_OBJECT_0: return transport::WaitResult::Completed;
    case WAIT_TIMEOUT: return transport::WaitResult::TimedOut;
    default: failWithLastError(); return transport::WaitResult::Failed;
    }
}

bool WinTransport::transferResult(transport::Transfer* transfer, std::uint32_t* transferred)
{
    auto* overlapped = static_cast<OverlappedTransfer*>(transfer);
    if (!overlapped) {
        lastError_ = ERROR_INVALID_PARAMETER;
        return false;
    }
    std::lock_guard<std::mutex> lock(stateMutex_);
    DWORD count = 0;
    const bool ok = GetOverlappedResult(file_, &overlapped->overlapped, &count, FALSE);
    if (transferred) *transferred = count;
    return ok || failWithLastError();
}

void WinTransport::cancelTransfer(transport::Transfer* transfer)
{
    auto* overlapped = static_cast<OverlappedTransfer*>(transfer);
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (overlapped && !HasOverlappedIoCompleted(&overlapped->overlapped)) CancelIoEx(file_, &overlapped->overlapped);
}

void WinTransport::finishTransfer(transport::Transfer* transfer)
{
    auto* overlapped = static_cast<OverlappedTransfer*>(transfer);
    if (!overlapped) return;
    std::lock_guard<std::mutex> lock(stateMutex_);
    awaitTransfer(overlapped);
    liveTransfers_.erase(overlapped);
    delete overlapped;
}

bool WinTransport::writeSync(std::uint8_t pipeId, const std::uint8_t* data, std::uint32_t length,
                             std::uint32_t timeoutMs)
{
    // An overlapped write bounded by its own wait: the pipe keeps no time-out
    // policy that would also cut the other writes short.
    std::vector<std::uint8_t> copy(data, data + length);
    transport::Transfer* transfer = startTransfer(pipeId, copy.data(), length);
    if (!transfer) return false;
    bool ok = false;
    std::uint32_t written = 0;
    const transport::WaitResult waited = waitTransfer(transfer, timeoutMs);
    if (waited == transport::WaitResult::Completed) {
        const bool moved = transferResult(transfer, &written);
        if (moved && written != length) lastError_ = ERROR_WRITE_FAULT;
        ok = moved && written == length;
    } else if (waited == transport::WaitResult::TimedOut) {
        lastError_ = WAIT_TIMEOUT;
    }
    finishTransfer(transfer);
    return ok;
}

bool WinTransport::flushPipe(std::uint8_t pipeId)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!interface_) {
        lastError_ = ERROR_INVALID_HANDLE;
        return false;
    }
    return WinUsb_FlushPipe(interface_, pipeId) || failWithLastError();
}
