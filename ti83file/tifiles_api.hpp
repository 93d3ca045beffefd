// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// libtifiles, whose C headers use the C keyword `restrict`: spelled here the
// way C++ compilers read it.

#define restrict __restrict
#include <tifiles.h>
#undef restrict
