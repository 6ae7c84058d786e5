#pragma once
// The scan's own texts: messages, log types and log descriptions.

namespace orv::scan_text {

inline constexpr const char* kSizeUnknown = "获取文件长度失败，程序将退出请和客服人员联系！";
inline constexpr const char* kOpenFailed = "打开文件句柄出错，程序将退出请和客服人员联系！";
inline constexpr const char* kTooShort = "所要扫描的存储或者文件长度小于65536字节,程序将退出!";

inline constexpr const char* kTypeLength = "文件长度";
inline constexpr const char* kTypeHint = "提示";
inline constexpr const char* kTypeError = "错误";
inline constexpr const char* kTypeOperation = "操作";

inline constexpr const char* kSourceLength = "所选文件（物理盘）长度为:";
inline constexpr const char* kSectors = "扇区";
inline constexpr const char* kStopped = "扫描终止";
inline constexpr const char* kStatistics = "统计字段信息及长度";
inline constexpr const char* kDone = "完毕";
inline constexpr const char* kFailed = "失败";
inline constexpr const char* kNormalSpacePass = "开始扫描0X0D页正常空间";
inline constexpr const char* kDeletedPagePass = "开始扫描删除页";
inline constexpr const char* kScanFinished = "扫描完毕";
inline constexpr const char* kStart = "开始";
inline constexpr const char* kSort = "排序";

inline constexpr const char* kLiveCellsError = "扫描模块I , 0X0D页,扫描正常空间时错误,偏移值为";
inline constexpr const char* kFreeSpaceCarvingError =
    "扫描模块II, 0X0D页,扫描空闲空间时错误,偏移值为";
inline constexpr const char* kExtractionError =
    "解析模块II, 0X0D页,解析正常及删除空间时错误,偏移值为";
inline constexpr const char* kAbandonedPageCarvingError =
    "扫描模块III,0X0A 0X02 0X05页,扫描空闲空间时错误,偏移值为";

inline constexpr const char* kUnreadableBytes = "无法读取的字节数:";
inline constexpr const char* kUnreadableFirstAt = ",最先的偏移值为";
inline constexpr const char* kInternalErrors = "程序内部错误次数(已跳过所在页):";

inline constexpr const char* kStatusScanning = "开始扫描...";
inline constexpr const char* kStatusReady = "就绪";
inline constexpr const char* kPagesFound = "发现碎片数量:";

}  // namespace orv::scan_text
