#pragma once

// How to reach the people who make the tool. Placeholders under a reserved example domain
// until real ones exist.
namespace ui::maker {

inline constexpr char kWebSite[] = "www.hedu.example"; // a bare host name, as the link opens it
inline constexpr char kImAccount[] = "123456";
inline constexpr char kEmail[] = "contact@hedu.example";

} // namespace ui::maker
