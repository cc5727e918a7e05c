// The desktop program's resources as data: main dialog 101, the parameter dialogs KXNVCS,
// NXNVCS, 2XNVCS, GENVCS and MINQUALSET, the layer-count dialog COALESCE, menu QUILLON and
// toolbar 3000, with every identifier, text, style and rectangle (dialog units) of the
// program. Texts are the program's own bytes: Windows-1252 where they hold accented letters.
// Built once on first use; the returned set is immutable and lives until the program ends.
#pragma once

#include "app/resources/resource_ids.h"
#include "ui/resources.h"

namespace quillon::res {

const ui::ResourceSet& QuillonResources();

}  // namespace quillon::res
