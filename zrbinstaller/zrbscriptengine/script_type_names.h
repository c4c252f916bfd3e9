// Registry names of the script types' metatables. Scripts never see them;
// the host recognises its objects by them.
#pragma once

namespace zrb::script {

constexpr char kAStringMetaTable[] = "AStringMetaTable";
constexpr char kWStringMetaTable[] = "WStringMetaTable";
constexpr char kRawBufferMetaTable[] = "RawBufferMetaTable";
constexpr char kDllManagerMetaTable[] = "DllManagerMetaTable";

}  // namespace zrb::script
