#include "maintenance/MaintenanceScreens.h"

#include "maintenance/ArchiveCheck.h"
#include "maintenance/ArchiveCopy.h"
#include "maintenance/ArchiveDeletion.h"
#include "maintenance/BackupScreens.h"

namespace zelvo {

void RegisterMaintenanceScreens(ScreenRegistry& registry) {
    registry.add("VALL1", ScreenRegistry::make<ArchiveVerification>());
    registry.add("VALL2", ScreenRegistry::make<IndexRebuild>());
    registry.add("VALL3", ScreenRegistry::make<ArchiveRepair>());
    registry.add("cancella", ScreenRegistry::make<ArchiveDeletion>());
    registry.add("BACK1", ScreenRegistry::make<BackupScreen>());
    registry.add("BACK2", ScreenRegistry::make<RestoreScreen>());
    registry.add("COPIAPC", ScreenRegistry::make<ArchiveCopy>());
}

}  // namespace zelvo
