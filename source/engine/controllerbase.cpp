#include "engine/controllerbase.h"

#include <algorithm>

#include <stdexcept>

CControllerBase::CControllerBase(uint8_t initialState, std::string name, uint32_t replyTimeoutMs,
                                 std::string descriptionKey, DefaultDescription defaultDescription)
    : IController(initialState, std::move(name)),
      hasOpeningSteps(initialState == stMAIN_STEP),
      descriptionKey(std::move(descriptionKey)),
      defaultDescription(defaultDescription) {
    reader.SetTimeout(replyTimeoutMs);
    stringReader.SetTimeout(replyTimeoutMs);
}

void CControllerBase::Step() {
    if (hasOpeningSteps && m_currState == stGET_DESCRIPTION) {
        actionGetDescriptionString();
    } else if (hasOpeningSteps && m_currState == stPROGRESS) {
        actionProgress();
    } else {
        DoAction(m_currState);
    }
}

void CControllerBase::SetCancelEvent(CEvent* event) {
    IController::SetCancelEvent(event);
    reader.SetCancelEvent(event);
    stringReader.SetCancelEvent(event);
}

void CControllerBase::actionGetDescriptionString() {
    std::string description;
    if (defaultDescription == DefaultDescription::Named) {
        description = GetName() + "::actionGetDescriptionString";
    }
    PrepareDescription();
    if (OnGetDescription) {
        OnGetDescription(descriptionKey, description);
    }
    progressInfo.SetDescription(std::move(description));
    SetState(stMAIN_STEP);
    m_currState = stPROGRESS;
}

void CControllerBase::actionProgress() {
    PrepareProgress();
    if (OnProgress) {
        OnProgress(GetName(), progressInfo);
    }
    SetState(stWORKER_STEP);
    m_currState = stFIRST_WORK;
}

void CControllerBase::ReturnToProgressStep() {
    m_currState = stPROGRESS;
    SetState(stMAIN_STEP);
}

void CControllerBase::Finish(uint8_t code) {
    SetResult(code);
    SetState(stFINISHED);
}

void CControllerBase::Pause(uint32_t ms) {
    ms = std::min(ms, commandPauseLimitMs);
    if (ms > 0) {
        PauseFor(ms);
    }
}

void CControllerBase::SendCommand(std::string text, uint32_t pauseMs) {
    Pause(pauseMs);
    command = std::move(text);
    commandSent = true;
    ICommSource* source = RequireSource();
    source->NoteSpeaker(GetName());
    source->Write(command.data(), static_cast<uint32_t>(command.size()));
}

void CControllerBase::SendPromptCommand(std::string text, uint32_t pauseMs) {
    Pause(pauseMs);
    command = std::move(text);
    ICommSource* source = RequireSource();
    source->NoteSpeaker(GetName());
    source->SetTextEntryPending(true);
    source->Write(command.data(), static_cast<uint32_t>(command.size()));
}

void CControllerBase::ReleaseTextEntry(uint32_t settleMs) {
    SendCommand(std::string(1, kEscape));
    Pause(settleMs);
}

std::optional<bool> CControllerBase::ExchangeUnlessCancelled(std::string text, uint32_t pauseMs) {
    return SendAndRead(std::move(text), pauseMs, &CControllerBase::ReadReply);
}

std::optional<bool> CControllerBase::ExchangeForPromptUnlessCancelled(std::string text,
                                                                      uint32_t pauseMs) {
    return SendAndRead(std::move(text), pauseMs, &CControllerBase::ReadPrompt);
}

std::optional<bool> CControllerBase::SendAndRead(std::string text, uint32_t pauseMs,
                                                 bool (CControllerBase::*read)()) {
    if (read == &CControllerBase::ReadPrompt) {
        SendPromptCommand(std::move(text), pauseMs);
    } else {
        SendCommand(std::move(text), pauseMs);
    }
    if (IsCancelRequested()) {
        return std::nullopt;
    }
    const bool arrived = (this->*read)();
    if (IsCancelRequested()) {
        return std::nullopt;
    }
    return arrived;
}

bool CControllerBase::ReadWith(IResponseReader& used) {
    lastReader = &used;
    used.Read(RequireSource());
    // A read cut short by a cancel holds whatever had arrived, perhaps the first half of a
    // reply that merely looks complete ("+CPBR: 64,\"1\"" without its line end): never a reply.
    return !used.IsTimedOut() && !IsCancelRequested();
}

ICommSource* CControllerBase::RequireSource() const {
    ICommSource* source = GetCommSource();
    if (source == nullptr) {
        // A wiring fault, which the processor turns into a failed controller carrying this
        // message instead of a crash.
        throw std::logic_error(GetName() + " has no communication source");
    }
    return source;
}

bool CControllerBase::ReadReply() {
    return ReadWith(reader);
}

bool CControllerBase::ReadPrompt() {
    return ReadWith(stringReader);
}

bool CControllerBase::Exchange(std::string text, uint32_t pauseMs) {
    SendCommand(std::move(text), pauseMs);
    return ReadReply();
}

bool CControllerBase::ExchangeForPrompt(std::string text, uint32_t pauseMs) {
    SendPromptCommand(std::move(text), pauseMs);
    return ReadPrompt();
}

bool CControllerBase::ReplyContains(std::string_view text) const {
    return GetReply().find(text) != std::string::npos;
}
