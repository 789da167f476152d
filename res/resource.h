#pragma once
#define IDI_KEYSTRUM 1
