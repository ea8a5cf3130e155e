(defun c:bom () (princ "図面"))
