#include "Services/Transcription/WhisperEngine.h"

#ifdef QUORVELLE_HAVE_WHISPER
#include "Services/Transcription/WhisperCpp/WhisperCppEngine.h"
#endif

namespace quorvelle {

std::shared_ptr<WhisperEngine> makeInstalledWhisperEngine() {
#ifdef QUORVELLE_HAVE_WHISPER
    return std::make_shared<WhisperCppEngine>();
#else
    return nullptr;
#endif
}

}  // namespace quorvelle
