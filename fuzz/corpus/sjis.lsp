(defun c:sjis ()
  (princ "図面を選択") ; ソース
)
