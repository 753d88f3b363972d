// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_KOBEX 1
#define IDI_ABOUT 2
#define IDR_ABOUT_LOGO 101
