#pragma once

// The texts of the program's version record, in one place for both uses: the Windows version
// resource (version.rc.in, compiled by the resource compiler, which reads these macros) and
// the record the program carries where there is no such resource. UTF-8.
#define TESSALY_COMPANY_NAME "OSKORA"
#define TESSALY_FILE_DESCRIPTION "ZMW ファームウェアアップデート"
#define TESSALY_INTERNAL_NAME "Tessaly"
#define TESSALY_LEGAL_COPYRIGHT "Copyright (C) OSKORA"
#define TESSALY_PRODUCT_NAME "KV5ファームウェアアップデートツール"
