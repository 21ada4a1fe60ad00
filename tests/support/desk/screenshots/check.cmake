# Runs desk_screenshots into OUT and fails unless every picture is there.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE rc TIMEOUT 100)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "desk_screenshots ended with ${rc}")
endif()
foreach(name first-start main-window main-window-float-docked after-reset after-reset-1280x800
        main-window-restarted pane-Market-Watch pane-New-Position pane-New-Entry-Order
        pane-Close-Postion pane-Accounts-List pane-Trade pane-Net-Trade pane-Journal
        pane-Pending-Order account-add account-edit message-box question-box sure-dialog
        requote-dialog about-box help-window form-Alerts form-Mailbox form-History form-Story
        form-ManagePos ribbon-Home ribbon-View ribbon-Help
        ribbon-Trade-Panel context-Accounts-Popup context-trade-Popup context-Journal-popup
        context-Pending status-bar simple-File simple-View simple-Help)
  if(NOT EXISTS ${OUT}/${name}.png)
    message(FATAL_ERROR "missing ${name}.png")
  endif()
endforeach()
