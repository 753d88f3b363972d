// One launcher a session: the name every launcher of the session asks for.
#pragma once

namespace kobex::win32 {

// Claims the name; false when another launcher of this session holds it.
bool ClaimSession();

}  // namespace kobex::win32
