#pragma once

#include <array>
#include <string_view>

// Every text key the program looks up in the language file. A shipped language must give each
// of them a text; the tests hold data/languages.txt to that.

// Column captions of the seven alarm-input grids and of the access-number grid.
inline constexpr std::array<std::string_view, 8> kAlarmListColumnKeys = {
    "RECEIVER", "CURRENT_TEXT", "CURRENT_NUMBER", "CALL",
    "NEW_TEXT", "NEW_NUMBER",   "CALL",           "DELETE"};
inline constexpr std::array<std::string_view, 4> kAccessListColumnKeys = {
    "POSITION", "CURRENT_NUMBER", "NEW_NUMBER", "WRITE"};

inline constexpr auto kLanguageKeys = std::to_array<std::string_view>(
    {// grid columns
     "RECEIVER", "CURRENT_TEXT", "CURRENT_NUMBER", "CALL", "NEW_TEXT", "NEW_NUMBER", "DELETE",
     "POSITION", "WRITE",
     // group boxes and tab pages
     "ACCESS_NUMBERS", "COMMANDS", "GSM_SIGNAL", "CALL_ACTIVATED_RELAYS_GROUP",
     "ACCESS_CONTROL_GROUP", "INPUT_BEHAVIOUR_GROUP", "INPUT_DELAY_GROUP", "INPUT_MESSAGES",
     "SETTINGS",
     // menu items
     "FILE", "EXIT", "LANGUAGES", "HELP", "ABOUT", "SAVE_PROFILE", "LOAD_PROFILE",
     "SETTINGS_CHECK_COUNTRY_CODE", "OPEN_RECORDS_FOLDER", "VIEW", "COMMUNICATION_LOG",
     // buttons
     "WRITE_AND_READ", "RESET_UNIT", "CLEAR_SIM", "CLEAR_TEXT_FIELDS", "CONNECT_TO_UNIT",
     "FIND_UNIT", "FIND_UNIT_HINT", "FIND_UNIT_FOUND", "FIND_UNIT_NONE",
     "DISCONNECT",
     // labels
     "INPUT", "EXTERNAL_POWER", "CURRENT", "NEW", "CURRENT_TIME", "NEW_TIME", "NET_STATUS",
     "ACTIVE_TIME", "ACTIVE_RELAY", "SMS_ACKNOWLEDGE", "IMEI", "UNKNOWN",
     // receiver labels of the alarm texts
     "HIGH", "LOW", "OK", "FAIL",
     // drop-down items of the settings
     "TOGGLE", "NOT_IN_USE", "RELAY1", "RELAY2", "BOTH_RELAYS", "WHEN_ALARM_ACTIVATED", "ALWAYS",
     "OFF", "ON", "DELAY", "BLOCK",
     // progress descriptions of the unit operations
     "CONTROLLER_CONNECTION_CHECK_DESCRIPTION", "CONTROLLER_UNIT_IDENTITY_DESCRIPTION",
     "CONTROLLER_CONFIGURE_DESCRIPTION", "CONTROLLER_PIN_DESCRIPTION",
     "CONTROLLER_WAIT_FOR_SIM_DESCRIPTION", "CONTROLLER_READ_PHONEBOOK_DESCRIPTION",
     "CONTROLLER_WRITE_PHONEBOOK_DESCRIPTION", "CONTROLLER_DELETE_PHONEBOOK_DESCRIPTION",
     "CONTROLLER_READ_SMS_DESCRIPTION", "CONTROLLER_WRITE_SMS_DESCRIPTION",
     "CONTROLLER_SMART_WRITE_SMS_DESCRIPTION", "CONTROLLER_DELETE_SMS_DESCRIPTION",
     "CONTROLLER_CHANGE_MODE_DESCRIPTION", "CONTROLLER_CHECK_MODE_DESCRIPTION",
     "CONTROLLER_READ_SETTING_DESCRIPTION", "CONTROLLER_SIGNAL_CHECK_DESCRIPTION",
     // PIN/PUK prompt
     "CONTROLLER_PIN_ENTER_PIN", "CONTROLLER_PIN_ENTER_PIN2", "CONTROLLER_PIN_ENTER_PUK",
     "CONTROLLER_PIN_ENTER_PUK2", "CONTROLLER_PIN_TRIES_LEFT", "CONTROLLER_PIN_INCORRECT_PASSWORD",
     "CONTROLLER_PIN_DISABLE_CODE",
     // hints and message boxes
     "GREEN_LED_LIT", "RESTART_UNIT", "RECONNECT_PLUGS", "CANCEL", "CONFIRM_FULL_ERASE",
     "INVALID_DATA", "CLEAR_SIM_CONFIRM", "OPERATION_FAILED_MESSAGE", "UNIT_PARTLY_WRITTEN",
     "UNSUPPORTED_MODULE", "CLEAR_SIM_ERASES_CONFIGURATION", "SAVE_PROFILE_FIRST",
     // read-back verification
     "VERIFIED", "VERIFY_FAILED", "VERIFY_MESSAGE", "VERIFY_TEXT", "VERIFY_EXPECTED",
     "VERIFY_FOUND", "SETTINGS_VERIFY_AFTER_WRITE", "RECORD_NOT_WRITTEN",
     // the communication log's window
     "FIND", "FIND_NEXT", "SAVE_AS", "CLOSE",
     // refused values
     "ROW", "ACCESS_NUMBER", "INVALID_MORE", "INVALID_STORE_TOO_SMALL",
     "INVALID_FORBIDDEN_CHARACTER", "INVALID_MISSING_COUNTRY_CODE", "INVALID_TEXT_TOO_LONG",
     "INVALID_CONTROL_CHARACTER", "INVALID_BAD_NUMBER", "INVALID_BAD_SETTING_VALUE",
     // network registration
     "NET_LOGGED_IN_HOME_NETWORK", "NET_LOGGED_IN_ROAMING", "NET_LOGGED_OUT",
     "NET_LOGGED_OUT_SEARCHING", "NET_REGISTRATION_DENIED", "NET_UNKNOWN",
     // save-profile choice
     "SAVE_PROFILE_CHOICE", "NEW_VALUES_CHOICE", "CURRENT_VALUES_CHOICE", "SAVE_BUTTON",
     // the language's locale, for Qt's own texts (standard buttons, file dialogs)
     "LOCALE",
     // the rest of the main window: menus, labels, the About box, the Help menu's documents
     "SETTINGS_MENU", "RANGE_SECONDS", "SIGNAL_MAX", "ABOUT_COMMENTS", "ABOUT_DOCUMENTS", "VERSION",
     "HELP_MANUAL_ENGLISH", "HELP_MANUAL_SWEDISH", "HELP_TROUBLESHOOTING_ENGLISH",
     "HELP_TROUBLESHOOTING_SWEDISH", "USER_MANUAL", "DOCUMENT_NOT_OPENED", "DOCUMENT_MISSING",
     // confirmations and states
     "RESET_DONE", "CLEAR_SIM_DONE", "PIN_LOCK_OFF", "NET_CHECKING", "SHOW_CODES",
     "DONT_SHOW_AGAIN",
     // what Write will send
     "CHANGES_TO_WRITE", "CHANGES_NOTHING", "CHANGES_SETTINGS", "CHANGES_ACCESS_NUMBERS",
     "CHANGES_MESSAGES",
     // the grids' edit actions and the text counter
     "COPY", "PASTE", "CLEAR_CELLS", "COPY_CURRENT_TO_NEW", "CANNOT_BE_STORED",
     // file dialogs and profile messages
     "PROFILE_FILTER", "LOG_FILTER", "ALL_FILES_FILTER", "INVALID_PROFILE", "INTERNAL_ERROR",
     // Qt's own file dialog, where Qt's catalogue of the language lacks them
     "QT_LOOK_IN", "QT_COMPUTER", "QT_RECENT_PLACES", "QT_CHOOSE"});
